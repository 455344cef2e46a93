#include "ModuleLoader.h"

#include <QDir>
#include <QFileInfo>

QStringList ModuleLoader::candidates(const QString& configured, const QString& programDir,
                                     const QString& fileName) {
    if (!configured.isEmpty()) return {configured};
    QDir dir(programDir);
    return {dir.filePath(fileName),
            dir.filePath(QStringLiteral("../src/Pkg_vlp27000/") + fileName)};
}

bool ModuleLoader::load(const QStringList& candidates, QString* error) {
    QString chosen;
    for (const QString& candidate : candidates)
        if (QFileInfo::exists(candidate)) {
            chosen = candidate;
            break;
        }
    if (chosen.isEmpty()) {
        *error = QStringLiteral("Módulo não encontrado: %1.")
                     .arg(candidates.join(QStringLiteral(" nem ")));
        return false;
    }
    m_library.setFileName(chosen);
    if (!m_library.load()) {
        *error = QStringLiteral("Não foi possível carregar o módulo %1: %2")
                     .arg(chosen, m_library.errorString());
        return false;
    }
    QStringList missing;
    auto resolve = [&](const char* name) {
        auto entry = reinterpret_cast<Entry>(m_library.resolve(name));
        if (!entry) missing << QLatin1String(name);
        return entry;
    };
    Entry initialize = resolve("Initialize");
    Entry finalize = resolve("Finalize");
    Entry iniProc = resolve("IniProc");
    resolve("GetPackageInfoTable");
    if (!missing.isEmpty()) {
        *error = QStringLiteral("O módulo %1 não exporta %2.")
                     .arg(chosen, missing.join(QStringLiteral(", ")));
        return false;
    }
    m_initialize = initialize;
    m_finalize = finalize;
    m_iniProc = iniProc;
    return true;
}

void ModuleLoader::initialize() {
    if (!m_initialize || m_initialized) return;
    m_initialized = true;
    m_initialize();
}

void ModuleLoader::finalize() {
    if (!m_finalize || !m_initialized) return;
    m_initialized = false;
    m_finalize();
}

void ModuleLoader::iniProc() {
    if (m_iniProc) m_iniProc();
}
