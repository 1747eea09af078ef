# Writes one manual page (or another text a program prints, such as its shell completion) and its
# gzip'd copy, each whole or not at all: an output is replaced only once its step has succeeded, so
# a failed step leaves nothing the build would take as done.
#
#   cmake -DPROGRAM=.../hamper -DPAGE=man/hamper.1 -DOUT=man/hamper.1.gz -P ManPage.cmake
#       PAGE is what `PROGRAM --help-man` prints; OUT its gzip'd copy
#   cmake -DPAGE=man/hamper-packer.1 -DOUT=man/hamper-packer.1.gz -P ManPage.cmake
#       OUT is the gzip'd copy of PAGE
#   cmake -DPROGRAM=.../hamper -DARGUMENT=--bash-completion -DPAGE=completion/hamper -P ManPage.cmake
#       PAGE is what `PROGRAM --bash-completion` prints; no gzip'd copy without OUT
#
# gzip -9n as Debian installs manual pages: no name or time stamp, so two builds give the same bytes.

if(NOT DEFINED PAGE OR (NOT DEFINED OUT AND NOT DEFINED PROGRAM))
  message(FATAL_ERROR "ManPage.cmake: PAGE, and PROGRAM or OUT, are needed")
endif()
if(NOT DEFINED ARGUMENT)
  set(ARGUMENT --help-man)
endif()

if(DEFINED PROGRAM)
  execute_process(COMMAND "${PROGRAM}" ${ARGUMENT} OUTPUT_FILE "${PAGE}.tmp" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    file(REMOVE "${PAGE}.tmp")
    message(FATAL_ERROR "${PROGRAM} ${ARGUMENT} failed: ${result}")
  endif()
  file(RENAME "${PAGE}.tmp" "${PAGE}")
endif()

if(NOT DEFINED OUT)
  return()
endif()
execute_process(COMMAND gzip -9 -n -c "${PAGE}" OUTPUT_FILE "${OUT}.tmp" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUT}.tmp")
  message(FATAL_ERROR "gzip of ${PAGE} failed: ${result}")
endif()
file(RENAME "${OUT}.tmp" "${OUT}")
