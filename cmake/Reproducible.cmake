# Release builds come out the same wherever they are built: no path of the
# source or build folder ends up in a program (assertion messages, __FILE__),
# so two checkouts of one commit in different folders give the same bytes.
# The build folder is named last because it may lie inside the source folder,
# and the compiler uses the last mapping that matches. Debug builds keep their
# real paths for the debugger.
add_compile_options(
  "$<$<CONFIG:Release>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
  "$<$<CONFIG:Release>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>")
