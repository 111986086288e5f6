# The layers of the code and what each may use. Arrows point down:
#   ui, cli -> control -> report -> engine -> config
#   cli -> experiment -> engine -> config
# Every target compiles against a view of the source tree: a folder in the build tree that
# holds links to exactly the folders and headers the target may include, in their places.
# An include that points up a layer then fails to compile. scripts/check-layers checks the
# same rules on the sources.

# kestravin_view(<target> <entry>...): each entry is a path in the source tree (a folder, a
# file or a glob pattern), or name=path to show a folder of another place under a name.
function(kestravin_view target)
  set(view "${CMAKE_BINARY_DIR}/views/${target}")
  file(REMOVE_RECURSE "${view}")
  set(names)
  set(paths)
  foreach(entry IN LISTS ARGN)
    if(entry MATCHES "^([^=]+)=(.+)$")
      list(APPEND names "${CMAKE_MATCH_1}")
      list(APPEND paths "${CMAKE_MATCH_2}")
    else()
      file(GLOB found RELATIVE "${PROJECT_SOURCE_DIR}" "${PROJECT_SOURCE_DIR}/${entry}")
      if(NOT found)
        message(FATAL_ERROR "kestravin_view(${target}): nothing matches ${entry}")
      endif()
      list(APPEND names ${found})
      list(APPEND paths ${found})
    endif()
  endforeach()
  foreach(name path IN ZIP_LISTS names paths)
    # An entry inside a folder that is shown whole needs no link of its own.
    set(covered FALSE)
    foreach(other IN LISTS names)
      string(FIND "${name}" "${other}/" at)
      if(at EQUAL 0)
        set(covered TRUE)
      endif()
    endforeach()
    if(NOT covered AND NOT EXISTS "${view}/${name}")
      get_filename_component(parent "${view}/${name}" DIRECTORY)
      file(MAKE_DIRECTORY "${parent}")
      file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${path}" "${view}/${name}" SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE "${view}")
endfunction()

# The folders each layer sees: its own and those below it.
set(KESTRAVIN_CONFIG_VIEW config)
set(KESTRAVIN_ENGINE_VIEW engine ${KESTRAVIN_CONFIG_VIEW})
set(KESTRAVIN_REPORT_VIEW report ${KESTRAVIN_ENGINE_VIEW})
set(KESTRAVIN_CONTROL_VIEW control ${KESTRAVIN_REPORT_VIEW})
set(KESTRAVIN_EXPERIMENT_VIEW experiment ${KESTRAVIN_ENGINE_VIEW})
set(KESTRAVIN_CLI_VIEW cli experiment ${KESTRAVIN_CONTROL_VIEW})
# The windows and panels see the platform's interface, not its backends.
set(KESTRAVIN_UI_VIEW "ui/*.h" ui/platform/platform.h ${KESTRAVIN_CONTROL_VIEW})

# kestravin_library(<name> VIEW <entries> USES <targets> SOURCES <files>)
function(kestravin_library name)
  cmake_parse_arguments(ARG "" "" "VIEW;USES;SOURCES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  kestravin_view(${name} ${ARG_VIEW})
  target_link_libraries(${name} PRIVATE kestravin_options ${ARG_USES})
endfunction()
