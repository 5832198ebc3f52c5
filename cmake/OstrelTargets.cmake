# Shared build settings and the per-folder library rule.

function(ostrel_setup_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(OSTREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# Builds the folder's component library ostrel_<name> from every .cpp in it, except
# window units (uXxx.cpp), which go to the window-layer library, and main.cpp.
function(ostrel_folder_library name)
  file(GLOB _all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(_component "")
  set(_windows "")
  foreach(f IN LISTS _all)
    get_filename_component(_base ${f} NAME)
    if(_base MATCHES "^u[A-Z]")
      list(APPEND _windows ${f})
    elseif(NOT _base STREQUAL "main.cpp")
      list(APPEND _component ${f})
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY OSTREL_WINDOW_SOURCES ${_windows})
  add_library(ostrel_${name} STATIC ${_component} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  ostrel_setup_target(ostrel_${name})
  target_link_libraries(ostrel_${name} PUBLIC ${ARGN})
endfunction()
