# Assembles the sample distribution folder from the built programs and the
# content under sample/: what a distributor would ship.
set(VO_DISTRIBUTION_DIR ${CMAKE_BINARY_DIR}/distribution)
set(dist ${VO_DISTRIBUTION_DIR})
set(kelvane ${dist}/Kelvane)
set(product_programs package_installer stand_in_Halvora stand_in_DuZizizuv stand_in_OdrixControl stand_in_OdrixServer
                     stand_in_VoMediaUninstall)
set(sample_package "Halvora Sample Visualizations")
set(sample_package_files "Sample Bars.xml" "Sample Waves.xml")
set(commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${kelvane} ${kelvane}/x64 "${dist}/System/Check Version"
            "${dist}/System/Always Overwrite" ${dist}/Fonts ${dist}/Support ${dist}/Library ${dist}/Setup ${dist}/Media
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:installer> ${dist}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/sample/License.txt
            ${CMAKE_SOURCE_DIR}/sample/Install.xml ${dist}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/sample/Kelvane/Product.xml ${kelvane}
    # Data files go where the product's resource lookup finds them.
    COMMAND ${CMAKE_COMMAND} -E copy_directory "${CMAKE_SOURCE_DIR}/sample/Kelvane/Application Data"
            "${kelvane}/Application Data"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:stand_in_Pellion_Launcher>"
            "${dist}/System/Always Overwrite/"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:stand_in_d3dx943> ${dist}/Support
    # A sample package with its content archive, made from the files it installs.
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_SOURCE_DIR}/sample/Support/${sample_package}.kvp"
            ${dist}/Support
    COMMAND ${CMAKE_COMMAND} -E chdir "${CMAKE_SOURCE_DIR}/sample/Support/${sample_package}" ${CMAKE_COMMAND} -E tar
            cf "${dist}/Support/${sample_package}.zip" --format=zip ${sample_package_files})
foreach(target ${VO_TOOLS_MODULE_TARGETS} ${product_programs})
  list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${kelvane})
endforeach()
add_custom_target(sample_distribution ALL ${commands}
                  DEPENDS installer package_installer ${VO_TOOLS_MODULE_TARGETS} ${VO_STAND_IN_TARGETS}
                  COMMENT "Assembling the sample distribution in ${dist}")
