# Stages the install as a package build does (DESTDIR, prefix /usr) and checks the tree:
# exactly the expected files, icons of the size their folder names, a kel-render that
# runs, a man page that covers every option and a thumbnailer that names the program.
# Arguments: BUILD_DIR, STAGE, EXPECTED, APP_ID, RENDER_MAN (ON when help2man was found).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${STAGE}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE} ${CMAKE_COMMAND} --install ${BUILD_DIR}
          --prefix /usr
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

file(GLOB_RECURSE installed RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT installed)
file(STRINGS "${EXPECTED}" expected)
list(TRANSFORM expected REPLACE "{id}" "${APP_ID}")
if(NOT RENDER_MAN)
  list(REMOVE_ITEM expected usr/share/man/man1/kel-render.1)
endif()
list(SORT expected)
message(STATUS "installed:")
foreach(file ${installed})
  message(STATUS "  ${file}")
endforeach()
if(NOT "${installed}" STREQUAL "${expected}")
  set(missing ${expected})
  list(REMOVE_ITEM missing ${installed})
  set(extra ${installed})
  list(REMOVE_ITEM extra ${expected})
  message(FATAL_ERROR "install tree differs\n  missing: ${missing}\n  unexpected: ${extra}")
endif()

set(usr "${STAGE}/usr")
foreach(size 16 32 48 64 128 256)
  file(READ "${usr}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png" header
       OFFSET 12 LIMIT 12 HEX)
  math(EXPR side "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" side "${side}")
  string(LENGTH "${side}" digits)
  math(EXPR pad "8 - ${digits}")
  string(REPEAT "0" ${pad} zeros)
  set(side "${zeros}${side}")
  # IHDR, then width and height as 32-bit big-endian numbers.
  if(NOT header STREQUAL "49484452${side}${side}")
    message(FATAL_ERROR "the ${size}x${size} icon is not ${size} x ${size}: ${header}")
  endif()
endforeach()

execute_process(COMMAND "${usr}/bin/kel-render" --version OUTPUT_VARIABLE version
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^kel-render \\(Kel\\) [0-9.]+\n$")
  message(FATAL_ERROR "installed kel-render --version: ${rc} '${version}'")
endif()

if(RENDER_MAN)
  execute_process(COMMAND "${usr}/bin/kel-render" --help OUTPUT_VARIABLE help)
  string(REGEX MATCHALL "\n  --[a-z]+" options "${help}")
  file(READ "${usr}/share/man/man1/kel-render.1" page)
  foreach(option ${options})
    string(STRIP "${option}" option)
    string(REPLACE "-" "\\-" roff "${option}")
    string(FIND "${page}" "${roff}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "kel-render(1) does not mention ${option}")
    endif()
  endforeach()
endif()

file(STRINGS "${usr}/share/thumbnailers/${APP_ID}.thumbnailer" exec REGEX "^Exec=")
if(NOT exec MATCHES "^Exec=kel-render --thumbnail %s -- %i %o$")
  message(FATAL_ERROR "thumbnailer: ${exec}")
endif()
