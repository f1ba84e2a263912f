# Lays out the installation medium: the installer, its script "setup.xdt", and
# every file the script names, where the script names them.
#
#   cmake -DSETUP_PROGRAM=... -DSAVER_PROGRAM=... -DREADME=... -DDATA_DIR=... -DOUT_DIR=...
#         -P make_distribution.cmake
#
# DATA_DIR holds the saver's data as the Windows directory holds it (Brevane,
# Brevane/graphics); every file under DATA_DIR/Brevane is installed. The script
# lists the real files with their real total of bytes.
#
# Installed layout, under the Windows directory:
#   vellamir                 the saver (run "vellamir" to configure it, "vellamir /s" to run it)
#   Brevane\setup.wri        how to configure the saver on Linux
#   Brevane\...              the data: prompt pictures, Brevane\graphics with every texture
foreach(variable SETUP_PROGRAM SAVER_PROGRAM README DATA_DIR OUT_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "make_distribution: ${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")
file(COPY "${SETUP_PROGRAM}" "${SAVER_PROGRAM}" DESTINATION "${OUT_DIR}")
get_filename_component(saver_name "${SAVER_PROGRAM}" NAME)
file(COPY_FILE "${README}" "${OUT_DIR}/setup.wri")

set(directories "Brevane")
set(files "${saver_name}|${saver_name}" "setup.wri|Brevane\\setup.wri")
if(IS_DIRECTORY "${DATA_DIR}/Brevane")
  file(COPY "${DATA_DIR}/Brevane" DESTINATION "${OUT_DIR}")
  file(GLOB_RECURSE data_entries LIST_DIRECTORIES true RELATIVE "${OUT_DIR}" "${OUT_DIR}/Brevane/*")
  list(SORT data_entries)
  foreach(entry IN LISTS data_entries)
    string(REPLACE "/" "\\" name "${entry}")
    if(IS_DIRECTORY "${OUT_DIR}/${entry}")
      list(APPEND directories "${name}")
    else()
      list(APPEND files "${name}|${name}")
    endif()
  endforeach()
endif()

# Every directory comes before the files in it: the sorted listing puts a
# directory before its entries, and the installer creates all of them first.
set(commands "")
foreach(directory IN LISTS directories)
  string(APPEND commands "%D\\${directory}\n")
endforeach()
set(total 0)
foreach(pair IN LISTS files)
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 destination)
  string(REPLACE "\\" "/" path "${source}")
  file(SIZE "${OUT_DIR}/${path}" size)
  math(EXPR total "${total} + ${size}")
  string(APPEND commands "%R${source}\n%W\\${destination}\n")
endforeach()

file(WRITE "${OUT_DIR}/setup.xdt"
  "Vellamir screen saver\n"
  "${total}\n"
  "Directories under the Windows directory, then each file's source and destination.\n"
  "${commands}")
list(LENGTH files file_count)
message(STATUS "Distribution: ${file_count} files, ${total} bytes in ${OUT_DIR}")
