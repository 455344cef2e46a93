#pragma once
// Loads a screen module (a shared library) and resolves its entries Initialize, Finalize, IniProc
// and GetPackageInfoTable (C linkage, no arguments). load() never throws: it returns false with a
// message naming the file or the missing entry. The library stays mapped until the process ends,
// because screens created from it may outlive an early unload. UI thread only.

#include <QLibrary>
#include <QString>
#include <QStringList>

class ModuleLoader {
  public:
    ModuleLoader() = default;
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Tries the candidates in order; the first that exists is loaded.
    bool load(const QStringList& candidates, QString* error);
    bool isLoaded() const { return m_iniProc != nullptr; }
    QString path() const { return m_library.fileName(); }

    // Run the entries; errors from the module travel on as exceptions.
    void initialize();
    void finalize();  // once, and only after initialize
    void iniProc();

    // Where to look for a module: the configured path, else beside the program (where the build
    // puts it), else ../src/Pkg_vlp27000 from the program's folder (a tree laid out by source).
    static QStringList candidates(const QString& configured, const QString& programDir,
                                  const QString& fileName);

  private:
    using Entry = void (*)();
    QLibrary m_library;
    Entry m_initialize = nullptr;
    Entry m_finalize = nullptr;
    Entry m_iniProc = nullptr;
    bool m_initialized = false;
};
