#pragma once

#include "workspace/DesignComponent.h"

#include <functional>
#include <vector>

namespace designtest
{
/** Counts designChanged calls and appends its id to a shared call log. */
struct RecordingListener : public DesignComponent::Listener
{
    RecordingListener (int listenerId, std::vector<int>& callLog) : id (listenerId), log (callLog) {}

    void designChanged (DesignComponent* designComponent) override
    {
        ++calls;
        lastComponent = designComponent;
        log.push_back (id);

        if (onCall)
            onCall (designComponent);
    }

    int id;
    std::vector<int>& log;
    int calls = 0;
    DesignComponent* lastComponent = nullptr;
    std::function<void (DesignComponent*)> onCall;
};

/** A workspace that counts how often the user-event handlers run, before handling them as usual. */
struct ProbeDesignComponent : public DesignComponent
{
    void buttonClicked (juce::Button* b) override { ++buttonCalls; DesignComponent::buttonClicked (b); }
    void comboBoxChanged (juce::ComboBox* c) override { ++comboCalls; DesignComponent::comboBoxChanged (c); }
    void labelTextChanged (juce::Label* l) override { ++labelCalls; DesignComponent::labelTextChanged (l); }
    void sliderValueChanged (juce::Slider* s) override { ++sliderCalls; DesignComponent::sliderValueChanged (s); }

    int handlerCalls() const { return buttonCalls + comboCalls + labelCalls + sliderCalls; }

    int buttonCalls = 0, comboCalls = 0, labelCalls = 0, sliderCalls = 0;
};

/** Lets queued (asynchronous) notifications arrive. */
inline void dispatchPendingMessages()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
}

/** True while the design holds the computed defaults: no recompute has run since construction or
    the last reset. A recompute centres the filter's impulse response at NFFT/2. */
inline bool holdsUncomputedDefaults (const DesignComponent& d)
{
    const auto& c = d.filterData.coefficients.data;
    return c.size() == d.NFFT && c[0] == 1.0 && c[d.NFFT / 2] == 0.0;
}

/** Records the title and message of every alert window the framework creates while it is installed
    as the default look-and-feel, and closes each box shortly after it opened. */
class MessageBoxRecorder : public juce::LookAndFeel_V4
{
public:
    MessageBoxRecorder() { juce::LookAndFeel::setDefaultLookAndFeel (this); }
    ~MessageBoxRecorder() override { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    juce::AlertWindow* createAlertWindow (const juce::String& title, const juce::String& message,
                                          const juce::String& button1, const juce::String& button2,
                                          const juce::String& button3, juce::MessageBoxIconType iconType,
                                          int numButtons, juce::Component* associatedComponent) override
    {
        titles.add (title);
        messages.add (message);
        icons.push_back (iconType);

        juce::Timer::callAfterDelay (30, []
        {
            if (auto* modal = juce::ModalComponentManager::getInstance()->getModalComponent (0))
                modal->exitModalState (0);
        });

        return LookAndFeel_V4::createAlertWindow (title, message, button1, button2, button3, iconType,
                                                  numButtons, associatedComponent);
    }

    juce::StringArray titles, messages;
    std::vector<juce::MessageBoxIconType> icons;
};

/** A scratch folder removed with the object. */
struct ScratchFolder
{
    ScratchFolder() { folder.createDirectory(); }
    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getNonexistentChildFile ("talvo-workspace-test", "");
};
} // namespace designtest
