#include "framework/TMessages.h"

#include "framework/StdDialogs.h"

TMessages::TMessages(const std::vector<std::string>& entries) { SetItems(entries); }

void TMessages::SetItems(const std::vector<std::string>& entries) {
    m_texts.clear();
    for (const std::string& entry : entries) Add(entry);
}

void TMessages::Add(std::string_view entry) {
    size_t bar = entry.find('|');
    if (bar == std::string_view::npos) return;
    m_texts.emplace(std::string(entry.substr(0, bar)), std::string(entry.substr(bar + 1)));
}

const std::string* TMessages::Find(std::string_view key) const {
    // Fallback chains are short; a cycle would be a wiring mistake, so stop after a few hops.
    const TMessages* catalogue = this;
    for (int hops = 0; catalogue && hops < 8; ++hops, catalogue = catalogue->m_fallback) {
        auto it = catalogue->m_texts.find(std::string(key));
        if (it != catalogue->m_texts.end()) return &it->second;
    }
    return nullptr;
}

bool TMessages::Contains(std::string_view key) const { return Find(key) != nullptr; }

std::string TMessages::Msg(std::string_view key) const {
    const std::string* text = Find(key);
    return text ? *text : std::string(key);
}

int TMessages::ShowMsg(std::string_view key, TMsgDlgType type, TMsgDlgButtons buttons,
                       int helpContext) const {
    return MessageDlg(Msg(key), type, buttons, helpContext);
}

const TMessages& TMessages::Standard() {
    static const TMessages standard({
        "Canc|Cancela as alterações?",
        "Grava|Grava as alterações?",
        "Reenvia|Há alterações não gravadas. Envia de novo?",
        "NaoGravado|Não gravado no servidor:",
        "Excl|Confirma exclusão?",
        "verificando|Verificando os registros no servidor...",
        "Atualizando|Atualizando os registros no servidor...",
        "Atualiza|Atualizando os registros no servidor...",
        "Conectando|Conectando ao servidor...",
        "NaoEncontrado|Registro não encontrado.",
        "SemRegistros|Não há registros para pesquisar.",
    });
    return standard;
}
