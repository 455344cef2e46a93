#include "support/TScriptedDialogs.h"

#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSource.h"

TScriptedDialogs::TScriptedDialogs() : m_previous(&Dialogs()) { SetDialogs(this); }

TScriptedDialogs::~TScriptedDialogs() { SetDialogs(m_previous == this ? nullptr : m_previous); }

void TScriptedDialogs::QueueAnswer(int modalResult) { m_answers.push_back(modalResult); }

void TScriptedDialogs::QueueSearchPick(int row) { m_picks.push_back(row); }

void TScriptedDialogs::QueueProcura(std::string fieldName, std::string value) {
    m_locates.emplace_back(std::move(fieldName), std::move(value));
}

void TScriptedDialogs::QueueSignIn(std::string user, std::string password) {
    m_signIns.emplace_back(std::move(user), std::move(password));
}

void TScriptedDialogs::QueueFileName(std::string path) { m_fileNames.push_back(std::move(path)); }

int TScriptedDialogs::Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& line : Log) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

std::string TScriptedDialogs::Last() const { return Log.empty() ? std::string() : Log.back(); }

int TScriptedDialogs::MessageDlg(const std::string& text, TMsgDlgType type,
                                 TMsgDlgButtons /*buttons*/, int /*helpContext*/) {
    Log.push_back("MessageDlg " + std::to_string(type) + ": " + text);
    if (OnShow) OnShow();
    if (m_answers.empty()) return DefaultAnswer;
    int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void TScriptedDialogs::ShowError(const std::string& text) {
    Log.push_back("Error: " + text);
    if (OnShow) OnShow();
}

bool TScriptedDialogs::Pesquisar(TDataSource& source, const std::string& text, bool /*multiSelect*/,
                                 bool /*showFilter*/) {
    Log.push_back("Pesquisar: " + text);
    int row = -1;
    if (!m_picks.empty()) {
        row = m_picks.front();
        m_picks.pop_front();
    }
    TClientDataSet* dataSet = source.DataSet();
    if (row < 0 || !dataSet || !dataSet->Active() || row >= dataSet->RecordCount()) return false;
    dataSet->MoveTo(row);
    return true;
}

bool TScriptedDialogs::Procura(TClientDataSet& dataSet) {
    Log.push_back("Procura: " + dataSet.Name());
    if (m_locates.empty()) return false;
    auto [field, value] = m_locates.front();
    m_locates.pop_front();
    return dataSet.Locate(field, value);
}

std::optional<TCredentials> TScriptedDialogs::SignIn(const TSignInRequest& request) {
    Log.push_back("SignIn " + request.Server + ": " + request.Reason + " [" + request.UserName +
                  "]");
    if (m_signIns.empty()) return std::nullopt;
    auto [user, password] = std::move(m_signIns.front());
    m_signIns.pop_front();
    return TCredentials(std::move(user), std::move(password));
}

std::optional<std::string> TScriptedDialogs::NextFileName() {
    if (m_fileNames.empty()) return std::nullopt;
    std::string path = std::move(m_fileNames.front());
    m_fileNames.pop_front();
    if (path.empty()) return std::nullopt;
    return path;
}

std::optional<std::string> TScriptedDialogs::SaveFileName(const std::string& caption,
                                                          const std::string& suggested,
                                                          const std::string& /*filter*/) {
    Log.push_back("SaveFileName " + caption + ": " + suggested);
    return NextFileName();
}

std::optional<std::string> TScriptedDialogs::OpenFileName(const std::string& caption,
                                                          const std::string& /*filter*/) {
    Log.push_back("OpenFileName " + caption);
    return NextFileName();
}
