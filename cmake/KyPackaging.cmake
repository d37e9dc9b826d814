# The CMake package KyAnalysis (targets KyAnalysis::kyanalysis and
# KyAnalysis::kyplatform) and the pkg-config file kyanalysis.pc.
include(CMakePackageConfigHelpers)

set(KY_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KyAnalysis)
install(EXPORT KyAnalysisTargets NAMESPACE KyAnalysis:: DESTINATION ${KY_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KyAnalysisConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/KyAnalysisConfig.cmake
                              INSTALL_DESTINATION ${KY_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/KyAnalysisConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/KyAnalysisConfig.cmake
              ${CMAKE_BINARY_DIR}/KyAnalysisConfigVersion.cmake
        DESTINATION ${KY_CMAKE_DIR})

# The .pc file finds its prefix from where it lies, so an install into any
# prefix (cmake --install --prefix) stays usable.
file(RELATIVE_PATH KY_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
configure_file(${CMAKE_CURRENT_LIST_DIR}/kyanalysis.pc.in ${CMAKE_BINARY_DIR}/kyanalysis.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/kyanalysis.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
