# ky_umbrella_header(LIBRARY BASE): writes <LIBRARY/LIBRARY.h>, which includes
# the umbrella header of the library it builds on (BASE, or none when empty)
# and every public header of LIBRARY, so that it can never miss a class.
function(ky_umbrella_header library base)
  set(includes "")
  if(base)
    string(APPEND includes "#include <${base}/${base}.h>\n\n")
  endif()
  set(headers ${KY_${library}_HEADERS})
  list(SORT headers)
  foreach(header IN LISTS headers)
    get_filename_component(header_name ${header} NAME)
    string(APPEND includes "#include <${library}/${header_name}>\n")
  endforeach()
  set(umbrella ${KY_INCLUDE_ROOT}/${library}/${library}/${library}.h)
  file(CONFIGURE OUTPUT ${umbrella} CONTENT
"// Every public class of ${library} and of the libraries it builds on.
#pragma once

${includes}")
  install(FILES ${umbrella} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${library})
endfunction()
