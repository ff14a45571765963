# Compiles the JUCE modules once, into static libraries that every target of the project links.
# JUCE's module targets are INTERFACE libraries that would otherwise compile their sources again into
# each executable; here they are linked PRIVATE and their usage requirements re-exported.

set(QUILLET_JUCE_DEFINITIONS
  JUCE_WEB_BROWSER=0
  JUCE_USE_CURL=0
  JUCE_DISPLAY_SPLASH_SCREEN=0
  JUCE_REPORT_APP_USAGE=0
  JUCE_STANDALONE_APPLICATION=1
  JUCE_MODAL_LOOPS_PERMITTED=1
  JUCE_SILENCE_XCODE_15_LINKER_WARNING=1
)

function(quillet_juce_library name)
  add_library(${name} STATIC)
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_compile_definitions(${name} PUBLIC ${QUILLET_JUCE_DEFINITIONS})
  foreach(module IN LISTS ARGN)
    target_include_directories(${name} SYSTEM INTERFACE $<TARGET_PROPERTY:${module},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${name} INTERFACE $<TARGET_PROPERTY:${module},INTERFACE_COMPILE_DEFINITIONS>)
  endforeach()
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# The device code needs no graphics: the sanitizer build leaves the graphics modules out.
set(QUILLET_JUCE_MODULES juce::juce_core juce::juce_events juce::juce_audio_basics juce::juce_audio_devices)
if(QUILLET_GUI)
  list(APPEND QUILLET_JUCE_MODULES juce::juce_data_structures juce::juce_graphics juce::juce_gui_basics)
endif()
quillet_juce_library(quillet_juce ${QUILLET_JUCE_MODULES})
# Debian's JUCE draws images with the system's libpng and libjpeg (a JUCE checkout brings its own copies).
if(TARGET juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
  target_link_libraries(quillet_juce PUBLIC juce::pkgconfig_JUCE_IMG_LINUX_DEPS z)
endif()
# For Windows, the image libraries come from a folder of static builds made for the target
# (scripts/windows-test.sh makes it from Debian's sources).
set(QUILLET_WINDOWS_DEPS "" CACHE PATH "Folder with include/ and lib/ of libpng and libjpeg built for Windows")
if(WIN32 AND QUILLET_WINDOWS_DEPS)
  target_include_directories(quillet_juce PRIVATE ${QUILLET_WINDOWS_DEPS}/include)
  target_link_libraries(quillet_juce PUBLIC ${QUILLET_WINDOWS_DEPS}/lib/libpng16.a ${QUILLET_WINDOWS_DEPS}/lib/libjpeg.a z)
endif()
