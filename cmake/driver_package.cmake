# The driver package: the minidriver resource DLLs (built with the mingw-w64 tools, for both
# architectures, whatever this build's target), then the two archives that the program embeds
# as ZIP resources 129 (Chinese option names) and 138 (English). Every input is a source of ours
# or a file of the operating system; the stand-ins under resources/driver/stand-ins take the
# place of the latter unless SETUP_DRIVER_FILES_DIR names a folder with the real ones.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SETUP_DRIVER_FILES_DIR "" CACHE PATH
  "Folder with the operating system's driver files (x86/, x64/ and their chinese/, english/ catalogue folders); empty: the stand-ins")

set(driver_sources ${CMAKE_SOURCE_DIR}/resources/driver)
if(SETUP_DRIVER_FILES_DIR)
  set(driver_system_files ${SETUP_DRIVER_FILES_DIR})
else()
  set(driver_system_files ${driver_sources}/stand-ins)
endif()
set(DRIVER_PACKAGE_DIR ${CMAKE_BINARY_DIR}/driver-package)
set(DRIVER_PACKAGE_129 ${DRIVER_PACKAGE_DIR}/driver-package-129.zip)
set(DRIVER_PACKAGE_138 ${DRIVER_PACKAGE_DIR}/driver-package-138.zip)

foreach(arch x86 x64)
  if(arch STREQUAL "x86")
    set(triplet i686-w64-mingw32)
  else()
    set(triplet x86_64-w64-mingw32)
  endif()
  find_program(windres_${arch} ${triplet}-windres REQUIRED)
  find_program(ld_${arch} ${triplet}-ld REQUIRED)
endforeach()

# A resource-only DLL: no code, no imports, entry point 0, no time stamp.
set(minidriver_rc ${driver_sources}/minidriver/minidriver.rc)
file(GLOB minidriver_rc_parts CONFIGURE_DEPENDS ${driver_sources}/minidriver/*.rc)
set(driver_dlls)
foreach(language chinese english)
  string(TOUPPER ${language} language_macro)
  foreach(arch x86 x64)
    foreach(model RCQ80 ZN80)
      set(dll ${DRIVER_PACKAGE_DIR}/${language}/${arch}/${model}.DLL)
      set(object ${DRIVER_PACKAGE_DIR}/${language}/${arch}/${model}.o)
      add_custom_command(OUTPUT ${dll}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${DRIVER_PACKAGE_DIR}/${language}/${arch}
        COMMAND ${windres_${arch}} -c 65001 -DMODEL_${model} -DLANGUAGE_${language_macro}
                -I ${driver_sources}/minidriver -O coff -i ${minidriver_rc} -o ${object}
        COMMAND ${ld_${arch}} --dll -e 0 --no-insert-timestamp --subsystem windows -s -o ${dll} ${object}
        DEPENDS ${minidriver_rc_parts}
        COMMENT "Minidriver resource DLL ${language}/${arch}/${model}.DLL"
        VERBATIM)
      list(APPEND driver_dlls ${dll})
    endforeach()
  endforeach()
endforeach()

# The archives are made again whenever the folder of the system's files changes, even when the
# files of the new folder are older than the archives (the file is rewritten only on a change).
set(driver_files_folder_record ${DRIVER_PACKAGE_DIR}/system-files-folder.txt)
file(CONFIGURE OUTPUT ${driver_files_folder_record} CONTENT "${driver_system_files}\n")

file(GLOB_RECURSE driver_package_inputs CONFIGURE_DEPENDS
  ${driver_sources}/minidriver/*.GPD ${driver_sources}/inf/*.INF ${driver_system_files}/*)
add_custom_command(OUTPUT ${DRIVER_PACKAGE_129} ${DRIVER_PACKAGE_138}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_driver_package.py
          --sources ${driver_sources} --system-files ${driver_system_files}
          --dlls ${DRIVER_PACKAGE_DIR} --output ${DRIVER_PACKAGE_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_driver_package.py ${driver_dlls} ${driver_package_inputs}
          ${driver_files_folder_record}
  COMMENT "Driver package archives 129 and 138"
  VERBATIM)
add_custom_target(driver_package ALL DEPENDS ${DRIVER_PACKAGE_129} ${DRIVER_PACKAGE_138})

# Embeds both archives in a Windows program whose .rc file includes resources/payload.rc.
function(setup_embed_driver_package target rc_file)
  set_property(SOURCE ${rc_file} APPEND PROPERTY INCLUDE_DIRECTORIES
    ${CMAKE_SOURCE_DIR}/resources ${DRIVER_PACKAGE_DIR})
  set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS
    ${DRIVER_PACKAGE_129} ${DRIVER_PACKAGE_138} ${CMAKE_SOURCE_DIR}/resources/payload.rc)
  add_dependencies(${target} driver_package)
endfunction()
