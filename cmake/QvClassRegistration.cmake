# Class registration that survives static linking.
#
# Every persistent class registers with the class factory from a static
# registrar object in its own source file. Many classes are only ever made
# by the factory while a stored graph is restored, so no code refers to
# their units, and a linker that takes from a static library only the units
# it needs would leave their registrations out.
#
#   qv_link_whole_library(<library>)
#     Every program or DLL that links <library>, directly or through other
#     libraries, takes all of its objects. Each library that holds
#     persistent classes calls it once; new classes need nothing more.

function(qv_link_whole_library library)
  target_link_options(${library} INTERFACE
    "LINKER:--whole-archive,$<TARGET_FILE:${library}>,--no-whole-archive")
endfunction()
