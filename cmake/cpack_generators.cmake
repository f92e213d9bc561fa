# Read by cpack once for each generator. The .deb carries the Debian copyright file and
# changelog (the component "debian") in place of LICENSE (the component "license"), besides
# everything of the default component ("Unspecified": programs, manual pages, README,
# samples); every other package takes what `cmake --install` installs.
if(CPACK_GENERATOR STREQUAL "DEB")
  list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 1 build_and_project)
  set(CPACK_INSTALL_CMAKE_PROJECTS ${build_and_project} Unspecified /
                                   ${build_and_project} debian /)
endif()
