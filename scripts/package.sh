# ./vlp package: the Debian packages vlp-appserver and vlp-host (CPack, dependencies found by
# dpkg-shlibdeps) from a release build of their own, build/package, into build/package/deb/.
package_dir="$root/build/package"
if [ ! -f "$package_dir/build.ninja" ]; then
    launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    # Debian's flags, as dpkg-buildpackage gives them (-O2, hardening); no debug information, as
    # the programs are stripped.
    export DEB_BUILD_MAINT_OPTIONS="hardening=+all" DEB_CFLAGS_MAINT_STRIP="-g" \
        DEB_CXXFLAGS_MAINT_STRIP="-g"
    CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
        CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
        LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S "$root" -B "$package_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS_RELEASE="-DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-DNDEBUG" -DVLP_TESTS=OFF \
        -DVLP_BENCH=OFF -DVLP_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr "${launcher[@]}" >/dev/null
    unset DEB_BUILD_MAINT_OPTIONS DEB_CFLAGS_MAINT_STRIP DEB_CXXFLAGS_MAINT_STRIP
fi
cmake --build "$package_dir"
rm -rf "$package_dir/deb"
(cd "$package_dir" && cpack -G DEB -B "$package_dir/deb" >/dev/null)
rm -rf "$package_dir/deb/_CPack_Packages"
echo "vlp package: $(cd "$package_dir/deb" && ls ./*.deb | sed 's|^\./|build/package/deb/|' | tr '\n' ' ')"
