# Runs in CPack's staging tree before the .deb is made: Debian keeps man pages and changelogs
# compressed, with no time stamp in the gzip header so that builds come out the same.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share")
file(GLOB pages "${root}/man/man1/*.1")
file(COPY_FILE "${CPACK_VELKON_CHANGELOG}" "${root}/doc/velkon95/changelog.Debian")
foreach(file IN LISTS pages ITEMS "${root}/doc/velkon95/changelog.Debian")
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endforeach()
