# Run by CPack on the staged files, after CPACK_STRIP_FILES has stripped the programs: removes
# the sections that carry nothing at run time (the compilers' version strings), as Debian's
# own packaging tools do.
foreach(program marrowby marrowby-cli fallowmere fallowmere-cli)
  execute_process(COMMAND objcopy --remove-section=.comment --remove-section=.note
                          ${CPACK_TEMPORARY_DIRECTORY}/usr/bin/${program}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objcopy could not clean /usr/bin/${program}")
  endif()
endforeach()
