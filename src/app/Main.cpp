// The program's entry: JUCE's application runner for NewProjectApplication.
#include "app/NewProjectApplication.h"

START_JUCE_APPLICATION (NewProjectApplication)
