# Fails when a file that the README in directory links to (a relative link, its #part
# aside) is not beside it: a package carries what its README points its reader to.
function(tarn_check_readme_links directory)
  file(READ ${directory}/README.md readme)
  # Each link's target marked; brackets and semicolons would bend how CMake splits a list.
  string(REPLACE "](" "<link>" readme "${readme}")
  string(REGEX REPLACE "[][;]" " " readme "${readme}")
  string(REGEX MATCHALL "<link>[^) #:]+" links "${readme}")
  foreach(link IN LISTS links)
    string(SUBSTRING "${link}" 6 -1 target)
    if(NOT EXISTS "${directory}/${target}")
      message(FATAL_ERROR "the README links to ${target}, which the package lacks")
    endif()
  endforeach()
endfunction()
