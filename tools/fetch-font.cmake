# Fetches a font package from the npm registry and places its font file and licence in a
# folder: cmake -DPACKAGE=@scope/name@version -DFILE=name.woff -DNPM_DIR=... -DDEST=... \
#   -DFONT_NAME=... -DLICENCE_NAME=... -P fetch-font.cmake
# The package is kept in NPM_DIR, so a later build needs no network.
foreach(var PACKAGE FILE NPM_DIR DEST FONT_NAME LICENCE_NAME)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "fetch-font.cmake: ${var} is not set")
  endif()
endforeach()

string(REGEX REPLACE "@[^@/]*$" "" package_name "${PACKAGE}")
set(package_dir "${NPM_DIR}/node_modules/${package_name}")
if(NOT EXISTS "${package_dir}/files/${FILE}" OR NOT EXISTS "${package_dir}/LICENSE")
  find_program(NPM npm)
  if(NOT NPM)
    message(FATAL_ERROR "npm is missing: it fetches ${PACKAGE} (tools/deps.sh installs it)")
  endif()
  file(MAKE_DIRECTORY "${NPM_DIR}")
  execute_process(
    COMMAND "${NPM}" install --no-audit --no-fund --silent --prefix "${NPM_DIR}" "${PACKAGE}"
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "npm could not install ${PACKAGE} (is the npm registry reachable?)")
  endif()
endif()
foreach(needed "files/${FILE}" LICENSE)
  if(NOT EXISTS "${package_dir}/${needed}")
    message(FATAL_ERROR "${PACKAGE} holds no ${needed}")
  endif()
endforeach()
file(MAKE_DIRECTORY "${DEST}")
file(COPY_FILE "${package_dir}/files/${FILE}" "${DEST}/${FONT_NAME}" ONLY_IF_DIFFERENT)
file(COPY_FILE "${package_dir}/LICENSE" "${DEST}/${LICENCE_NAME}" ONLY_IF_DIFFERENT)
