# Who the Debian package names as its maintainer (Maintainer field, changelog):
# TB_PACKAGE_MAINTAINER, else Debian's DEBFULLNAME and DEBEMAIL, else the git identity
# of the checkout, else the project's own address. A fresh machine has no identity at
# all, and a made-up one (root@localhost) is what lintian rejects.
set(TB_PROJECT_MAINTAINER "Tollbrook developers <tollbrook@tollbrook.org>")

function(tb_package_maintainer out given source_dir)
  set(maintainer "${given}")
  if(NOT maintainer AND NOT "$ENV{DEBFULLNAME}" STREQUAL "" AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
    set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  endif()
  if(NOT maintainer)
    execute_process(COMMAND git config user.name WORKING_DIRECTORY "${source_dir}"
                    OUTPUT_VARIABLE git_name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND git config user.email WORKING_DIRECTORY "${source_dir}"
                    OUTPUT_VARIABLE git_email OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(git_name AND git_email)
      set(maintainer "${git_name} <${git_email}>")
    endif()
  endif()
  if(NOT maintainer)
    set(maintainer "${TB_PROJECT_MAINTAINER}")
  endif()
  set(${out} "${maintainer}" PARENT_SCOPE)
endfunction()
