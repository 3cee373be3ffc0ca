# The setup program (makensis), the Windows Installer package (wixl) and the
# release in dist/ (target package_release): a stripped ombrelay.exe,
# Ombrelay-<version>-setup.exe, Ombrelay-<version>.msi and
# Ombrelay-<version>-portable.zip. Needs the mingw strip, makensis, wixl,
# msibuild and zip of the build machine; without them the targets that need
# them are left out. The winget manifests of the release (dist/winget/) need
# Python 3 with PyYAML and msiinfo besides.
find_program(MAKENSIS makensis)
find_program(WIXL wixl)
find_program(MSIBUILD msibuild)
find_program(MSIINFO msiinfo)
find_program(ZIP zip)
if(MSVC OR NOT CMAKE_STRIP OR NOT MAKENSIS)
  message(STATUS "No strip or makensis: the setup program is not built")
  return()
endif()

set(stripped_exe ${CMAKE_BINARY_DIR}/stripped/ombrelay.exe)
set(setup_exe ${CMAKE_BINARY_DIR}/Ombrelay-${PROJECT_VERSION}-setup.exe)
set(installer_script ${CMAKE_SOURCE_DIR}/installer/ombrelay.nsi)

# A stripped copy of a target's file, as the packages carry it.
function(add_stripped target out)
  get_filename_component(name ${out} NAME)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/stripped
    COMMAND ${CMAKE_STRIP} --strip-all -o ${out} $<TARGET_FILE:${target}>
    DEPENDS ${target}
    COMMENT "Stripping ${name}")
endfunction()
add_stripped(ombrelay ${stripped_exe})
add_custom_command(
  OUTPUT ${setup_exe}
  COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DEXE=${stripped_exe}
          -DREADME=${CMAKE_SOURCE_DIR}/README.md -DLICENSE=${CMAKE_SOURCE_DIR}/LICENSE
          -DOUTFILE=${setup_exe} ${installer_script}
  DEPENDS ${stripped_exe} ${installer_script} ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
  COMMENT "Making the setup program")
add_custom_target(setup ALL DEPENDS ${setup_exe})

set(msi_package)
set(msi_target)
if(WIXL AND MSIBUILD AND TARGET ombrelay_msi)
  set(msi_package ${CMAKE_BINARY_DIR}/Ombrelay-${PROJECT_VERSION}.msi)
  set(stripped_actions ${CMAKE_BINARY_DIR}/stripped/ombrelay_msi.dll)
  add_stripped(ombrelay_msi ${stripped_actions})
  add_custom_command(
    OUTPUT ${msi_package}
    COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DEXE=${stripped_exe}
            -DREADME=${CMAKE_SOURCE_DIR}/README.md -DLICENSE=${CMAKE_SOURCE_DIR}/LICENSE
            -DACTIONS=${stripped_actions} -DOUT=${msi_package} -DWIXL=${WIXL} -DMSIBUILD=${MSIBUILD}
            -P ${CMAKE_SOURCE_DIR}/cmake/msi.cmake
    DEPENDS ${stripped_exe} ${stripped_actions} ${CMAKE_SOURCE_DIR}/installer/ombrelay.wxs ${CMAKE_SOURCE_DIR}/cmake/msi.cmake
            ${CMAKE_SOURCE_DIR}/res/ombrelay.ico
            ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
    COMMENT "Making the Windows Installer package")
  add_custom_target(msi_package ALL DEPENDS ${msi_package})
  set(msi_target msi_package)
else()
  message(STATUS "No wixl or msibuild: the Windows Installer package is not built")
endif()

if(NOT ZIP)
  message(STATUS "No zip: package_release is left out")
  return()
endif()
set(dist ${CMAKE_SOURCE_DIR}/dist)
set(portable_zip ${dist}/Ombrelay-${PROJECT_VERSION}-portable.zip)
# The manifests describe the packages as they lie in dist/, their download
# addresses made from OMBRELAY_RELEASE_URL (scripts/winget_manifests.py).
find_program(PYTHON3 NAMES python3 python)
set(winget_step)
if(msi_package AND PYTHON3 AND MSIINFO)
  set(winget_step COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/winget_manifests.py --version ${PROJECT_VERSION}
      --setup ${dist}/Ombrelay-${PROJECT_VERSION}-setup.exe --msi ${dist}/Ombrelay-${PROJECT_VERSION}.msi
      --out ${dist}/winget --msiinfo ${MSIINFO})
else()
  message(STATUS "No package, Python 3 or msiinfo: the release has no winget manifests")
endif()
add_custom_target(package_release
  COMMAND ${CMAKE_COMMAND} -E remove_directory ${dist}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${dist}
  COMMAND ${CMAKE_COMMAND} -E copy ${stripped_exe} ${setup_exe} ${msi_package} ${dist}
  COMMAND ${ZIP} -q -j -X ${portable_zip} ${dist}/ombrelay.exe ${CMAKE_SOURCE_DIR}/README.md
          ${CMAKE_SOURCE_DIR}/LICENSE
  ${winget_step}
  DEPENDS setup ${msi_target}
  COMMENT "Release ${PROJECT_VERSION} in ${dist}")
