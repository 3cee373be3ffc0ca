# Builds the Windows Installer package from installer/ombrelay.wxs with wixl:
#   cmake -DVERSION=1.02 -DEXE=<ombrelay.exe> -DREADME=<README.md>
#         -DLICENSE=<LICENSE> -DACTIONS=<ombrelay_msi.dll> -DOUT=<x.msi>
#         [-DWIXL=wixl] [-DMSIBUILD=msibuild] -P cmake/msi.cmake
# The product code is a name-based UUID of the version in the upgrade
# code's namespace: every build of one version has the same one, and each
# version its own, as a major upgrade needs.
foreach(var VERSION EXE README LICENSE ACTIONS OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} must be defined")
  endif()
endforeach()
if(NOT WIXL)
  set(WIXL wixl)
endif()
if(NOT MSIBUILD)
  set(MSIBUILD msibuild)
endif()
get_filename_component(source ${CMAKE_CURRENT_LIST_DIR}/../installer/ombrelay.wxs ABSOLUTE)
file(STRINGS ${source} upgrade_line REGEX "UpgradeCode=")
if(NOT upgrade_line MATCHES "UpgradeCode=\"{([0-9A-F-]+)}\"")
  message(FATAL_ERROR "no UpgradeCode in ${source}")
endif()
string(UUID product_code NAMESPACE ${CMAKE_MATCH_1} NAME "Ombrelay ${VERSION}" TYPE SHA1 UPPER)
# wixl takes the files by names relative to the folder it runs in.
get_filename_component(OUT ${OUT} ABSOLUTE)
set(staging ${OUT}.files)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging})
configure_file(${EXE} ${staging}/ombrelay.exe COPYONLY)
configure_file(${README} ${staging}/README.md COPYONLY)
configure_file(${LICENSE} ${staging}/LICENSE.txt COPYONLY)
configure_file(${ACTIONS} ${staging}/ombrelay_msi.dll COPYONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../res/ombrelay.ico ${staging}/ombrelay.ico COPYONLY)
execute_process(
  COMMAND ${WIXL} -a x86 -D Version=${VERSION} -D ProductCode={${product_code}} -D Exe=ombrelay.exe
          -D Readme=README.md -D License=LICENSE.txt -D Actions=ombrelay_msi.dll -o ${OUT} ${source}
  WORKING_DIRECTORY ${staging}
  RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${staging})
if(failed)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "wixl failed on ${source}")
endif()
# What wixl cannot write, set in its tables: HKMU (per user HKCU, per
# machine HKLM) is root -1, where wixl writes 4, which the Installer skips;
# and wixl writes no component conditions: a per-machine install leaves out
# the Send To link, as Windows has no Send To folder shared by all users.
foreach(query
    "UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4"
    "UPDATE `Component` SET `Condition` = 'NOT ALLUSERS=1' WHERE `Component` = 'SendTo'")
  execute_process(COMMAND ${MSIBUILD} ${OUT} -q "${query}" RESULT_VARIABLE failed)
  if(failed)
    file(REMOVE ${OUT})
    message(FATAL_ERROR "msibuild failed on ${OUT}: ${query}")
  endif()
endforeach()
