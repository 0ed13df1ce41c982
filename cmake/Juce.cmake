# JUCE 7 from Debian's juce-modules-source-data, compiled by us into two static libraries:
#   juce_core_lib  - juce_core alone, for the headless design engine and its tests
#   juce_gui_lib   - juce_events, juce_data_structures, juce_graphics, juce_gui_basics on top of it
set(JUCE_MODULES_DIR "/usr/share/juce/modules" CACHE PATH "Folder holding the JUCE module sources")
if(NOT EXISTS "${JUCE_MODULES_DIR}/juce_core/juce_core.cpp")
  message(FATAL_ERROR "JUCE modules not found in ${JUCE_MODULES_DIR}: install juce-modules-source-data")
endif()

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(JUCE_SYSTEM_DEPS REQUIRED IMPORTED_TARGET freetype2 libpng libjpeg zlib)

# Compile definitions and include folder shared by every target that includes JUCE.
add_library(juce_config INTERFACE)
target_include_directories(juce_config SYSTEM INTERFACE "${JUCE_MODULES_DIR}")
target_compile_definitions(juce_config INTERFACE
  JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
  JUCE_STANDALONE_APPLICATION=1
  JUCE_MODAL_LOOPS_PERMITTED=1
  JUCE_USE_CURL=0
  JUCE_WEB_BROWSER=0
  JUCE_DISPLAY_SPLASH_SCREEN=0
  # On Linux JUCE turns on its assertions and leak detector (JUCE_DEBUG) only for _DEBUG.
  $<IF:$<CONFIG:Debug>,DEBUG=1,NDEBUG=1>
  $<$<CONFIG:Debug>:_DEBUG=1>)

add_library(juce_core_lib STATIC "${JUCE_MODULES_DIR}/juce_core/juce_core.cpp")
target_compile_definitions(juce_core_lib PUBLIC JUCE_MODULE_AVAILABLE_juce_core=1)
target_link_libraries(juce_core_lib PUBLIC juce_config Threads::Threads PkgConfig::JUCE_SYSTEM_DEPS dl rt)
target_compile_options(juce_core_lib PRIVATE -w)

set(JUCE_GUI_MODULES juce_events juce_data_structures juce_graphics juce_gui_basics)
set(JUCE_GUI_SOURCES "")
foreach(m ${JUCE_GUI_MODULES})
  list(APPEND JUCE_GUI_SOURCES "${JUCE_MODULES_DIR}/${m}/${m}.cpp")
endforeach()
add_library(juce_gui_lib STATIC ${JUCE_GUI_SOURCES})
foreach(m ${JUCE_GUI_MODULES})
  target_compile_definitions(juce_gui_lib PUBLIC JUCE_MODULE_AVAILABLE_${m}=1)
endforeach()
target_link_libraries(juce_gui_lib PUBLIC juce_core_lib)
target_compile_options(juce_gui_lib PRIVATE -w)
