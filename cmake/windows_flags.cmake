# Flags of every Windows program, Setup.exe included; set before the first target is made.
#
# Hardening: a stack protector on every function with a local array or an address-taken local
# (its runtime support, libssp, is linked statically: the flag on the link line pulls it in),
# address-space randomisation, no execution of data, and aware of terminal servers.
add_compile_options(-fstack-protector-strong)
add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)

# Reproducible programs: the same bytes from the same sources, whatever the build folder and the
# time. The link time stamp stays 0, and the source and build folders are written as relative
# paths (into debug information and __FILE__ alike). The build folder may lie inside the source
# folder: the map given last is tried first. The debug information is kept in the build's
# programs; tools/make-release.sh moves it into a file beside the shipped one.
add_compile_options(-g
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
  -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_link_options(-Wl,--no-insert-timestamp)
