# The Debian package's maintainer, in the order cmake/package_maintainer.cmake looks
# for one, down to a fresh machine that has no identity at all.
#   cmake -DROOT=SOURCE_DIR -DWORK=SCRATCH_FOLDER -P package_maintainer_test.cmake
include(${ROOT}/cmake/package_maintainer.cmake)
file(REMOVE_RECURSE ${WORK})

# No identity but what each case gives: an empty home, no system git config, and a
# folder outside any repository.
file(MAKE_DIRECTORY ${WORK}/home ${WORK}/nowhere)
set(ENV{HOME} ${WORK}/home)
set(ENV{GIT_CONFIG_NOSYSTEM} 1)
unset(ENV{GIT_CONFIG_GLOBAL})
unset(ENV{XDG_CONFIG_HOME})
file(WRITE ${WORK}/gitconfig "[user]\n\tname = Git Person\n\temail = git@school.example.org\n")

set(failures 0)
function(expect case given debfullname debemail git want)
  set(ENV{DEBFULLNAME} "${debfullname}")
  set(ENV{DEBEMAIL} "${debemail}")
  if(git)
    file(COPY_FILE ${WORK}/gitconfig ${WORK}/home/.gitconfig)
  else()
    file(REMOVE ${WORK}/home/.gitconfig)
  endif()
  tb_package_maintainer(got "${given}" ${WORK}/nowhere)
  if(NOT got STREQUAL want)
    message(SEND_ERROR "${case}: expected \"${want}\", got \"${got}\"")
  endif()
endfunction()

expect("TB_PACKAGE_MAINTAINER first" "Given <given@school.example.org>" Deb deb@school.example.org ON
       "Given <given@school.example.org>")
expect("then DEBFULLNAME and DEBEMAIL" "" Deb deb@school.example.org ON "Deb <deb@school.example.org>")
expect("DEBFULLNAME alone is not enough" "" Deb "" ON "Git Person <git@school.example.org>")
expect("then git's identity" "" "" "" ON "Git Person <git@school.example.org>")
expect("a fresh machine: the project's address" "" "" "" OFF "${TB_PROJECT_MAINTAINER}")
# ...which lintian takes (bogus-mail-host, root-in-contact).
if(NOT TB_PROJECT_MAINTAINER MATCHES "^[^<@]+ <[^@>]+@[a-z0-9-]+(\\.[a-z0-9-]+)+>$"
   OR TB_PROJECT_MAINTAINER MATCHES "root@|@localhost|\\.(localdomain|example|invalid)>|example\\.(com|org|net)")
  message(SEND_ERROR "the project's address is not one lintian accepts: ${TB_PROJECT_MAINTAINER}")
endif()
