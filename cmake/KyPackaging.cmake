# The CMake package KyAnalysis, one component a library (kyplatform,
# kyanalysis, kyengine, kyremote, kyformats, kyserver), and one pkg-config
# file a library.
include(CMakePackageConfigHelpers)

# Installed programs and libraries find the libraries beside them, wherever
# the prefix lies.
file(RELATIVE_PATH KY_BIN_TO_LIB "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${CMAKE_INSTALL_LIBDIR}")
set(KY_LIBRARIES kyplatform kyanalysis kyengine kyremote kyformats kyserver)
set_target_properties(${KY_LIBRARIES} PROPERTIES INSTALL_RPATH "$ORIGIN")
set(KY_PROGRAM_RPATH "$ORIGIN/${KY_BIN_TO_LIB}")

set(KY_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KyAnalysis)
foreach(library IN LISTS KY_LIBRARIES)
  install(EXPORT KyAnalysis_${library} FILE ${library}Targets.cmake NAMESPACE KyAnalysis::
          DESTINATION ${KY_CMAKE_DIR})
endforeach()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KyAnalysisConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/KyAnalysisConfig.cmake
                              INSTALL_DESTINATION ${KY_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/KyAnalysisConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/KyAnalysisConfig.cmake
              ${CMAKE_BINARY_DIR}/KyAnalysisConfigVersion.cmake
        DESTINATION ${KY_CMAKE_DIR})

# A .pc file finds its prefix from where it lies, so an install into any
# prefix (cmake --install --prefix) stays usable.
set(KY_CMAKE_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
file(RELATIVE_PATH KY_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
function(ky_pkg_config library requires description)
  set(KY_PC_NAME ${library})
  set(KY_PC_REQUIRES ${requires})
  set(KY_PC_DESCRIPTION ${description})
  configure_file(${KY_CMAKE_SOURCE_DIR}/kylibrary.pc.in
                 ${CMAKE_BINARY_DIR}/${library}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${library}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
ky_pkg_config(kyplatform xerces-c "Object, graph and service-framework platform of kyanalysis")
ky_pkg_config(kyanalysis kyplatform "${PROJECT_DESCRIPTION}")
ky_pkg_config(kyengine kyanalysis "Local analysis engine of kyanalysis")
ky_pkg_config(kyremote kyanalysis "Client of a remote analysis service, over HTTP")
ky_pkg_config(kyformats kyanalysis "Graph file formats and answer renderings of kyanalysis")
ky_pkg_config(kyserver kyengine "The analysis service over HTTP, embedded in an application")
