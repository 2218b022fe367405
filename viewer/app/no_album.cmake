# The viewer must build without the album program: no target from album/
# may reach its link line and no source may include an album header.

# viewer_forbid_album(TARGET...): fails the configuration when one of the
# targets links album code or a file beside its sources includes an album
# header. The check runs when the whole tree is configured, so links added
# later from other folders are seen too.
function(viewer_forbid_album)
  foreach(_target IN LISTS ARGN)
    get_target_property(_dir ${_target} SOURCE_DIR)
    cmake_language(EVAL CODE "
      cmake_language(DEFER DIRECTORY \"${PROJECT_SOURCE_DIR}\" CALL project_forbid_links ${_target}
        PATTERNS \"^album\" \"^tavolin$\" \"(^|[/])album/\"
        HEADERS \"${_dir}/*.h\" \"${_dir}/*.cpp\"
        INCLUDES \"^[ \\t]*#[ \\t]*include[ \\t]*[\\\"<]album/\")")
  endforeach()
endfunction()
