# Install layout (`make install PREFIX=...`, or `cmake --install BUILD
# --prefix DIR`):
#
#   bin/seatwatch, bin/seatwatch-hh, bin/seatwatch-sim, bin/seatwatch-regsvr,
#   bin/seatwatch-table
#   lib/seatwatch/libpagelink.so      the browser plug-in, loaded at run time
#   lib/seatwatch/libseatwatch_com.so the COM runtime the program and the
#                                     plug-in share (one registry per process)
#   share/seatwatch/                  the assets; the program looks for them
#                                     in ../share/seatwatch beside its bin/
#   share/seatwatch/samples/          the demo prefix and sample histories
#   share/seatwatch/scripts/demo-layout
#
# Only targets that exist in this tree are installed, so the rules hold at
# every step of the tree's growth.
include(GNUInstallDirs)

# The libraries go to a fixed folder (not the multiarch one) so that the
# programs find them relative to their own bin/ folder.
set(SEATWATCH_INSTALL_LIBDIR lib/seatwatch)
foreach(program seatwatch seatwatch-hh seatwatch-sim seatwatch-regsvr seatwatch-table)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/../${SEATWATCH_INSTALL_LIBDIR}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
foreach(library pagelink seatwatch_com)
  if(TARGET ${library})
    get_target_property(type ${library} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
      set_target_properties(${library} PROPERTIES INSTALL_RPATH "$ORIGIN")
      install(TARGETS ${library} LIBRARY DESTINATION ${SEATWATCH_INSTALL_LIBDIR})
    endif()
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/ DESTINATION ${CMAKE_INSTALL_DATADIR}/seatwatch)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/seatwatch/samples)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/demo-layout
  DESTINATION ${CMAKE_INSTALL_DATADIR}/seatwatch/scripts)
