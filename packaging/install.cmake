# Install rules: `cmake --install` into any prefix (or DESTDIR) gives a working program,
# its menu entry, icons, AppStream metainfo, manual page and copyright (debian/ packs the same files).
include(GNUInstallDirs)

set(QUORVEL_GENERATED ${PROJECT_BINARY_DIR}/generated)
set(QUORVEL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

install(TARGETS quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (`cmake --install --strip`) also drops the compiler's notes, as Debian's own tools do.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quorvel\")
endif()")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${QUORVEL_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icone/${size}x${size}/${QUORVEL_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/packaging/metainfo.xml.in ${QUORVEL_GENERATED}/${QUORVEL_ID}.metainfo.xml @ONLY)
install(FILES ${QUORVEL_GENERATED}/${QUORVEL_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian wants the manual page compressed at the highest level, without a time stamp.
configure_file(${PROJECT_SOURCE_DIR}/packaging/quorvel.1.in ${QUORVEL_GENERATED}/quorvel.1 @ONLY)
add_custom_command(OUTPUT ${QUORVEL_GENERATED}/quorvel.1.gz
                   COMMAND gzip -9 -n -c quorvel.1 > quorvel.1.gz
                   DEPENDS ${QUORVEL_GENERATED}/quorvel.1
                   WORKING_DIRECTORY ${QUORVEL_GENERATED})
add_custom_target(quorvel_docs ALL DEPENDS ${QUORVEL_GENERATED}/quorvel.1.gz)
install(FILES ${QUORVEL_GENERATED}/quorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(QUORVEL_INSTALL_COPYRIGHT)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${QUORVEL_DOCDIR})
endif()
