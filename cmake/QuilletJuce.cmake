# Compiles the JUCE modules once, into static libraries that every target of the project links.
# JUCE's module targets are INTERFACE libraries that would otherwise compile their sources again into
# each executable; here they are compiled into two libraries whose usage requirements are re-exported:
#   quillet_juce_base  core, events, data structures (the undo manager) and MIDI (audio basics and devices):
#                      all that the model, the device code, the files and the command-line tool need, with no
#                      graphics, fonts or pictures;
#   quillet_juce       the interface modules on top of it, for the editor and its tests.

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

# Compiles the given modules on top of a library that already holds the modules they depend on: linking a
# module's target would bring every module below it along, compiled a second time.
function(quillet_juce_library_on name base)
  add_library(${name} STATIC)
  target_link_libraries(${name} PUBLIC ${base})
  foreach(module IN LISTS ARGN)
    get_target_property(sources ${module} INTERFACE_SOURCES)
    target_sources(${name} PRIVATE ${sources})
    target_include_directories(${name} SYSTEM PUBLIC $<TARGET_PROPERTY:${module},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${name} PUBLIC $<TARGET_PROPERTY:${module},INTERFACE_COMPILE_DEFINITIONS>)
    target_compile_options(${name} PRIVATE $<TARGET_PROPERTY:${module},INTERFACE_COMPILE_OPTIONS>)
    # The system libraries a module needs (FreeType, ...), without the other modules' targets.
    get_target_property(libraries ${module} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS libraries)
      if(library AND NOT library MATCHES "^(juce::)?juce_")
        target_link_libraries(${name} PUBLIC ${library})
      endif()
    endforeach()
  endforeach()
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

quillet_juce_library(quillet_juce_base juce::juce_core juce::juce_events juce::juce_data_structures
                     juce::juce_audio_basics juce::juce_audio_devices)
# The toolkit names the ALSA sequencer client after the application's title, or "JUCE" without an application
# object: each program gives its own name instead (device/MidiClientName.h), set by its main. The name lives
# in this library, beside the toolkit code that asks for it.
target_sources(quillet_juce_base PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/device/MidiClientName.cpp)
if(CMAKE_SYSTEM_NAME MATCHES "Linux|BSD")
  target_compile_definitions(quillet_juce_base PRIVATE "JUCE_ALSA_MIDI_NAME=quilletMidiClientName()")
  target_compile_options(quillet_juce_base PRIVATE -include ${CMAKE_CURRENT_SOURCE_DIR}/device/MidiClientName.h)
endif()
if(QUILLET_GUI)
  quillet_juce_library_on(quillet_juce quillet_juce_base juce::juce_graphics juce::juce_gui_basics)
  # Debian's JUCE draws images with the system's libpng and libjpeg (a JUCE checkout brings its own copies).
  if(TARGET juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
    target_link_libraries(quillet_juce PUBLIC juce::pkgconfig_JUCE_IMG_LINUX_DEPS z)
  endif()
endif()
# For Windows, the image libraries come from a folder of static builds made for the target
# (scripts/windows-test.sh makes it from Debian's sources).
set(QUILLET_WINDOWS_DEPS "" CACHE PATH "Folder with include/ and lib/ of libpng and libjpeg built for Windows")
if(WIN32 AND QUILLET_WINDOWS_DEPS)
  target_include_directories(quillet_juce PRIVATE ${QUILLET_WINDOWS_DEPS}/include)
  target_link_libraries(quillet_juce PUBLIC ${QUILLET_WINDOWS_DEPS}/lib/libpng16.a ${QUILLET_WINDOWS_DEPS}/lib/libjpeg.a z)
endif()
