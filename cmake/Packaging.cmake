# Install layout and the two Debian packages (./vlp package, cpack -G DEB in a release build):
#   vlp-appserver: the server on the path, its systemd unit, /etc/vlp/appserver.conf written from
#                  the server's option table, and the maintainer scripts (user vlp, /var/lib/vlp);
#   vlp-host:      the host, the framework library and the screen module together in
#                  /usr/lib/<multiarch>/vlp (the host finds its module beside itself), /usr/bin/vlp-host, a desktop entry
#                  and its icon, and /etc/vlp/vlp-host.ini, the machine-wide host configuration.
# Dependencies are the Debian packages of the libraries the programs link (dpkg-shlibdeps).
set(VLP_PACKAGE_MAINTAINER "Equipe VLP <vlp@example.com>" CACHE STRING
    "Maintainer field of the Debian packages")
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)
include(GNUInstallDirs)
# Private to the host: a folder of its own under the multiarch library folder, which also keeps
# CPack from calling ldconfig for them.
set(private_dir ${CMAKE_INSTALL_LIBDIR}/vlp)

# The configuration file, from the same option table as --help: nothing is seeded (no
# --seed-demo), the database lives in the service's folder.
add_executable(vlp-appserver-conf ${packaging}/AppServerConf.cpp)
vlp_strict(vlp-appserver-conf)
target_link_libraries(vlp-appserver-conf PRIVATE vlp_rpc)
add_custom_command(OUTPUT ${generated}/appserver.conf
    COMMAND vlp-appserver-conf ${generated}/appserver.conf db=sqlite:/var/lib/vlp/vlp.sqlite
    DEPENDS vlp-appserver-conf VERBATIM)

# A native package's changelog, one entry for this version, and the manual pages, compressed as
# Debian wants them.
string(TIMESTAMP VLP_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
configure_file(${packaging}/appserver/vlp-appserver.1 ${generated}/vlp-appserver.1 COPYONLY)
configure_file(${packaging}/host/vlp-host.1 ${generated}/vlp-host.1 COPYONLY)
set(compressed)
foreach(file changelog vlp-appserver.1 vlp-host.1)
    add_custom_command(OUTPUT ${generated}/${file}.gz
        COMMAND gzip -9nkf ${generated}/${file} DEPENDS ${generated}/${file} VERBATIM)
    list(APPEND compressed ${generated}/${file}.gz)
endforeach()
add_custom_target(vlp_package_files ALL DEPENDS ${generated}/appserver.conf ${compressed})

foreach(component appserver host)
    install(FILES ${packaging}/copyright ${generated}/changelog.gz
        DESTINATION share/doc/vlp-${component} COMPONENT ${component})
endforeach()

install(TARGETS vlp-appserver RUNTIME DESTINATION bin COMPONENT appserver)
# Bookworm keeps units in /lib/systemd/system (files do not move between / and /usr there).
install(FILES ${packaging}/appserver/vlp-appserver.service DESTINATION /lib/systemd/system
    COMPONENT appserver)
install(FILES ${generated}/appserver.conf DESTINATION /etc/vlp COMPONENT appserver)
install(FILES ${generated}/vlp-appserver.1.gz DESTINATION share/man/man1 COMPONENT appserver)

if(VLP_GUI)
    # The module finds the framework library beside it, whoever loads it.
    set_target_properties(vlp27000 PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS vlp-host RUNTIME DESTINATION ${private_dir} COMPONENT host)
    install(TARGETS vlp27000 vlpframework LIBRARY DESTINATION ${private_dir} COMPONENT host)
    file(RELATIVE_PATH host_from_bin /usr/bin /usr/${private_dir}/vlp-host)
    file(CREATE_LINK ${host_from_bin} ${generated}/vlp-host SYMBOLIC)
    install(FILES ${generated}/vlp-host DESTINATION bin COMPONENT host)
    install(FILES ${packaging}/host/vlp-host.desktop DESTINATION share/applications
        COMPONENT host)
    install(FILES ${packaging}/host/vlp-host.svg
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT host)
    install(FILES ${packaging}/host/vlp-host.ini DESTINATION /etc/vlp COMPONENT host)
    install(FILES ${generated}/vlp-host.1.gz DESTINATION share/man/man1 COMPONENT host)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vlp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VLP_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL appserver)
if(VLP_GUI)
    list(APPEND CPACK_COMPONENTS_ALL host)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_APPSERVER_PACKAGE_NAME vlp-appserver)
set(CPACK_DEBIAN_APPSERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_APPSERVER_PACKAGE_DEPENDS adduser)
set(CPACK_DEBIAN_APPSERVER_PACKAGE_CONTROL_EXTRA ${packaging}/appserver/conffiles
    ${packaging}/appserver/postinst ${packaging}/appserver/prerm ${packaging}/appserver/postrm)
set(CPACK_COMPONENT_APPSERVER_DESCRIPTION
    "VLP application server (Sugestão de Produtos)
Serves the remote module VLP27000.rdmSugestaoProd over HTTP and JSON-RPC
to the VLP host clients of a company's network, storing its data in
SQLite (the default, in /var/lib/vlp) or PostgreSQL. Runs as the systemd
service vlp-appserver under the system user vlp, configured in
/etc/vlp/appserver.conf; the same program administers users, the history
of changes and the CSV import and export.")

set(CPACK_DEBIAN_HOST_PACKAGE_NAME vlp-host)
set(CPACK_DEBIAN_HOST_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_HOST_PACKAGE_CONTROL_EXTRA ${packaging}/host/conffiles)
# The toolkit's own texts (the file dialogs' buttons) in Portuguese.
set(CPACK_DEBIAN_HOST_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_COMPONENT_HOST_DESCRIPTION
    "VLP host client with the screen Sugestão de Produtos
The desktop client of the VLP application server: a window that opens
screen modules, with the module VLP27000 (Sugestão de Produtos), where
each group's main products and the products suggested with them are
kept. The machine-wide configuration, /etc/vlp/vlp-host.ini, names the
server for every user.")
include(CPack)
