# cmake --install <build> --prefix <dir>:
#   <dir>/lib/quorel/Quorel, libvantor.so  the program folder: the program
#                                          binds the library by name from it
#   <dir>/bin/quorel                       the launcher
#   <dir>/include/vantor.h                 the C interface, for other callers
#   <dir>/lib/libvantor.so                 a link to the program folder's copy
include(GNUInstallDirs)
set(QUOREL_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/quorel)

install(TARGETS vantor LIBRARY DESTINATION ${QUOREL_INSTALL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/link/include/vantor.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# Evaluated at install time, so the link lands under the prefix given there.
install(CODE "
  file(CREATE_LINK quorel/libvantor.so
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/libvantor.so\" SYMBOLIC)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/libvantor.so\")")

if(TARGET Quorel)
  install(TARGETS Quorel RUNTIME DESTINATION ${QUOREL_INSTALL_DIR})
  # The launcher finds the program folder relative to its own.
  file(RELATIVE_PATH QUOREL_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/quorel)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/quorel-launcher.sh.in ${CMAKE_BINARY_DIR}/launcher/quorel @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/quorel DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
