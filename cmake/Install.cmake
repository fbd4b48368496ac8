# cmake --install and the Debian package (cpack -G DEB; scripts/package.sh).
# Programs go to bin, the device library to <libdir>/zunto (Msgdesk looks
# there when it is not beside the program), help and sounds to
# <datadir>/zunto; see platform/InstallLayout.h.

# Installing builds only what it installs (scripts/package.sh builds those).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(_share ${CMAKE_INSTALL_DATADIR}/zunto)
install(TARGETS modlink-tool zuntosim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS modlink LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/zunto)
# The helper that holds a modem away from ModemManager, found beside the
# library (platform/ModemHold.h).
install(TARGETS zunto-modem-hold RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/zunto)
# The known USB modems, read from beside the library.
install(FILES modlink/data/modems.table DESTINATION ${CMAKE_INSTALL_LIBDIR}/zunto)
if(ZUNTO_GUI)
  install(TARGETS msgdesk wanmate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES msgdesk/help/msgdesk.html DESTINATION ${_share}/help)
install(FILES msgdesk/sounds/msg.wav DESTINATION ${_share}/sounds)

# Menu entries and their icons.
install(FILES packaging/msgdesk.desktop packaging/wanmate.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES msgdesk/res/shell/app128.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME zunto-msgdesk.svg)
install(FILES wanmate/res/bmp139.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME zunto-wanmate.svg)

# What the desktop's software centre shows of the two programs.
install(FILES packaging/org.kelvo.Msgdesk.metainfo.xml packaging/org.kelvo.Wanmate.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The modem's ports for group dialout, and modem managers kept off them.
install(FILES packaging/70-zunto-modem.rules DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d)

# Manual pages, compressed as Debian wants them.
set(_man "")
foreach(page modlink-tool.1 zuntosim.1 msgdesk.1 wanmate.1)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page})
  list(APPEND _man ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()

# Debian's copyright file (from LICENSES/) and changelog (a native package).
set(_doc ${CMAKE_BINARY_DIR}/packaging-doc)
add_custom_command(OUTPUT ${_doc}/copyright ${_doc}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_doc}
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/debian-copyright.sh ${CMAKE_SOURCE_DIR} > ${_doc}/copyright
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${_doc}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/debian-copyright.sh ${CMAKE_SOURCE_DIR}/packaging/changelog
          ${CMAKE_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt ${CMAKE_SOURCE_DIR}/LICENSES/LGPL-2.1-or-later.txt)
add_custom_target(install_files ALL DEPENDS ${_man} ${_doc}/copyright ${_doc}/changelog.gz)
install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_doc}/copyright ${_doc}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The dial-up files, when the tree has them in wanmate/ppp/ (what
# scripts/install-wanmate-ppp.sh installs by hand): "peers-NAME" and files in
# peers/ are pppd peers files (/etc/ppp/peers/NAME); chat scripts (ending in
# .chat, or in chatscripts/) go to /etc/chatscripts; any other file, e.g. a
# connect step, to /etc/ppp, executable when it is in the tree; files in
# ip-up.d/ and ip-down.d/ are pppd's hooks (/etc/ppp/ip-up.d/NAME, run as
# root when a link comes up or goes down). Files in /etc are conffiles.
file(GLOB _ppp CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/wanmate/ppp/*
     ${CMAKE_SOURCE_DIR}/wanmate/ppp/peers/* ${CMAKE_SOURCE_DIR}/wanmate/ppp/chatscripts/*
     ${CMAKE_SOURCE_DIR}/wanmate/ppp/ip-up.d/* ${CMAKE_SOURCE_DIR}/wanmate/ppp/ip-down.d/*)
set(_etc ${CMAKE_INSTALL_FULL_SYSCONFDIR})
set(_conffiles "")
foreach(f ${_ppp})
  get_filename_component(n ${f} NAME)
  set(_kind FILES)
  if(IS_DIRECTORY ${f} OR n MATCHES "^README|\\.md$")
    continue()
  elseif(f MATCHES "/chatscripts/[^/]+$")
    set(_dir ${_etc}/chatscripts)
  elseif(n MATCHES "\\.chat$")
    set(_dir ${_etc}/chatscripts)
    string(REGEX REPLACE "\\.chat$" "" n ${n})
  elseif(f MATCHES "/peers/[^/]+$")
    set(_dir ${_etc}/ppp/peers)
  elseif(f MATCHES "/(ip-up|ip-down)\\.d/[^/]+$")
    string(REGEX MATCH "ip-(up|down)\\.d" _hook ${f})
    set(_dir ${_etc}/ppp/${_hook})
    set(_kind PROGRAMS)
  elseif(n MATCHES "^peers-.")
    set(_dir ${_etc}/ppp/peers)
    string(REGEX REPLACE "^peers-" "" n ${n})
  else()
    set(_dir ${_etc}/ppp)
    execute_process(COMMAND test -x ${f} RESULT_VARIABLE _rc)
    if(_rc EQUAL 0)
      set(_kind PROGRAMS)
    endif()
  endif()
  install(${_kind} ${f} DESTINATION ${_dir} RENAME ${n})
  string(APPEND _conffiles "${_dir}/${n}\n")
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zunto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kelvo Zunto maintainers <zunto@kelvo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop software for the Zunto USB GSM modem")
# CPack puts the summary first; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Msgdesk, an SMS centre (mailboxes, sending with resend, receiving,
contacts, SIM phonebooks, voice calls) for up to 16 modems; Wanmate, a tray
dialer; modlink, the device library driving the modems by AT commands, with
its command-line client modlink-tool; and zuntosim, a simulated modem.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# pppd dials for Wanmate; xdg-open shows the help; usb-modeswitch turns a
# stick that first shows up as a CD-ROM into a modem; the colour emoji font
# and a font with the rare CJK extensions (𠮷, 㐀) draw what messages and
# names may hold beside the common characters.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ppp, xdg-utils, usb-modeswitch, fonts-noto-color-emoji, fonts-hanazono")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(_extra "")
if(_conffiles)
  file(WRITE ${CMAKE_BINARY_DIR}/packaging-control/conffiles "${_conffiles}")
  list(APPEND _extra ${CMAKE_BINARY_DIR}/packaging-control/conffiles)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${_extra}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
