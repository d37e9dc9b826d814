# Writes <kyanalysis/kyanalysis.h>, which includes every public header of
# both libraries, so that it can never miss a class.
list(SORT KY_ALL_PUBLIC_HEADERS)
set(KY_UMBRELLA_INCLUDES "")
foreach(header IN LISTS KY_ALL_PUBLIC_HEADERS)
  get_filename_component(header_name ${header} NAME)
  string(APPEND KY_UMBRELLA_INCLUDES "#include <kyanalysis/${header_name}>\n")
endforeach()
file(CONFIGURE OUTPUT ${KY_INCLUDE_ROOT}/kyanalysis/kyanalysis.h CONTENT
"// Every public class of kyplatform and kyanalysis.
#pragma once

${KY_UMBRELLA_INCLUDES}")
install(FILES ${KY_INCLUDE_ROOT}/kyanalysis/kyanalysis.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kyanalysis)
