# Which folder may include which: the layers of the program (see CMakeLists.txt), checked
# from the sources. Run as `cmake -DSOURCE_DIR=... -P layer_check.cmake`; every include
# that crosses a layer upwards, or brings Qt into the core, is listed and fails the check.
#
#   folder        may include (besides the standard library)
#   common/       common/
#   model/        common/ model/ storage/
#   storage/      common/ model/ storage/
#   ui/platform/  common/ ui/platform/ res/, Qt
#   res/          common/ ui/platform/ res/, Qt
#   ui/           common/ model/ storage/ ui/ res/, Qt
#   app/          everything
# res/resource.h, the ids of the program's texts (constants only), may be named anywhere.
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<source folder> -P layer_check.cmake")
endif()

set(allowed_common "common")
set(allowed_model "common|model|storage")
set(allowed_storage "common|model|storage")
set(allowed_platform "common|ui/platform|res")
set(allowed_res "common|ui/platform|res")
set(allowed_ui "common|model|storage|ui|res")

set(failures "")
foreach(layer common model storage platform res ui)
  if(layer STREQUAL "platform")
    set(folder ui/platform)
  else()
    set(folder ${layer})
  endif()
  file(GLOB_RECURSE files ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file ${files})
    file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
    # ui/ stands for the pages; ui/platform/ is checked as a layer of its own.
    if(layer STREQUAL "ui" AND name MATCHES "^ui/platform/")
      continue()
    endif()
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
      set(wrong FALSE)
      if(line MATCHES "\"([^\"]+)\"")
        set(included ${CMAKE_MATCH_1})
        # Headers beside the file, by their own name, are the file's own folder.
        if(included MATCHES "/" AND NOT included MATCHES "^(${allowed_${layer}})/"
           AND NOT included STREQUAL "res/resource.h")
          set(wrong TRUE)
        endif()
      elseif(line MATCHES "<(Q[A-Za-z]*)[/>]" AND layer MATCHES "^(common|model|storage)$")
        set(wrong TRUE)
      endif()
      if(wrong)
        string(STRIP "${line}" line)
        string(APPEND failures "  ${name}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes across the layers:\n${failures}")
endif()
message(STATUS "Every include keeps to its layer.")
