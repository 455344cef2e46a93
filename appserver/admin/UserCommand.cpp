#include "admin/UserCommand.h"

#include <string>

#include "admin/AdminReplies.h"
#include "admin/AdminStore.h"
#include "admin/CommandArgs.h"
#include "auth/PasswordHash.h"
#include "store/UserNames.h"

namespace appserver {

namespace {

constexpr std::string_view kHelp =
    "uso: vlp-appserver user add|passwd|disable|enable NOME --db URL\n"
    "\n"
    "  add NOME      cadastra o usuário NOME, ativo, com a senha pedida\n"
    "  passwd NOME   troca a senha do usuário NOME\n"
    "  disable NOME  desativa o usuário NOME: ele não entra mais; o histórico mantém o nome\n"
    "  enable NOME   reativa o usuário NOME\n"
    "  --db URL      o banco do servidor: sqlite:ARQUIVO ou postgresql://...\n"
    "\n"
    "NOME tem de 1 a 40 letras sem acento, dígitos, \".\", \"_\" ou \"-\".\n"
    "A senha é pedida duas vezes no terminal, sem eco; com a entrada padrão redirecionada, é\n"
    "lida dela (a primeira linha). Nunca é aceita como argumento.\n"
    "Saída: 0 feito; 1 recusado (usuário já existe ou não existe, senha vazia ou diferente,\n"
    "banco inacessível); 2 linha de comando inválida.\n";

constexpr OptionSpec kOptions[] = {{"--db", "URL"}};

struct Target {
    Store& store;
    std::string name;
};

using Action = int (*)(Target& target, AdminContext& context);

// The new password, asked for as PasswordSource says; refused when empty, too long or, typed
// twice, not the same both times.
wire::Result<std::string> askNewPassword(PasswordSource& source) {
    auto first = source.read("Nova senha: ");
    if (!first) return first;
    if (first->empty())
        return wire::Status{wire::ErrorCode::Refused, "A senha não pode ser vazia."};
    if (first->size() > kMaxPassword) {
        wipePassword(*first);
        return wire::Status{wire::ErrorCode::Refused, "A senha deve ter no máximo " +
                                                          std::to_string(kMaxPassword) + " bytes."};
    }
    if (!source.interactive()) return first;
    auto second = source.read("Repita a nova senha: ");
    bool same = second && *second == *first;
    if (second) wipePassword(*second);
    if (same) return first;
    wipePassword(*first);
    if (!second) return second;
    return wire::Status{wire::ErrorCode::Refused,
                        "As senhas digitadas não conferem; nada foi alterado."};
}

// Asks for a password and stores its hash with save.
template <class Save>
int withNewHash(AdminContext& context, Save&& save) {
    auto password = askNewPassword(context.passwords);
    if (!password) return refuse(context.err, password.status().message());
    std::string hash = hashPassword(*password);
    wipePassword(*password);
    if (hash.empty()) return refuse(context.err, "Não foi possível calcular o resumo da senha.");
    if (wire::Status status = save(hash); !status) return refuse(context.err, status.message());
    return kDone;
}

// Refused unless the user's existence is as wanted, before a password is typed in vain.
int checkExists(Target& target, AdminContext& context, bool wanted) {
    auto user = target.store.findUser(target.name);
    if (!user) return refuse(context.err, user.status().message());
    if (user->has_value() == wanted) return kDone;
    return refuse(context.err, "Usuário \"" + target.name + "\" " +
                                   (wanted ? "não cadastrado." : "já cadastrado."));
}

int add(Target& t, AdminContext& context) {
    if (int code = checkExists(t, context, false); code != kDone) return code;
    int code = withNewHash(context,
                           [&](const std::string& hash) { return t.store.addUser(t.name, hash); });
    if (code == kDone) context.out << "Usuário \"" << t.name << "\" cadastrado.\n";
    return code;
}

int passwd(Target& t, AdminContext& context) {
    if (int code = checkExists(t, context, true); code != kDone) return code;
    int code = withNewHash(
        context, [&](const std::string& hash) { return t.store.setUserPassword(t.name, hash); });
    if (code == kDone) context.out << "Senha do usuário \"" << t.name << "\" alterada.\n";
    return code;
}

template <bool kEnabled>
int setEnabled(Target& t, AdminContext& context) {
    if (wire::Status status = t.store.setUserEnabled(t.name, kEnabled); !status)
        return refuse(context.err, status.message());
    context.out << "Usuário \"" << t.name << "\" " << (kEnabled ? "reativado" : "desativado")
                << ".\n";
    return kDone;
}

struct Subcommand {
    std::string_view name;
    Action action;
};

constexpr Subcommand kSubcommands[] = {
    {"add", add},
    {"passwd", passwd},
    {"disable", setEnabled<false>},
    {"enable", setEnabled<true>},
};

}  // namespace

std::string_view userCommandHelp() { return kHelp; }

int runUserCommand(std::span<const std::string_view> args, AdminContext& context) {
    CommandArgs parsed = parseCommandArgs(args, kOptions);
    if (auto answered = helpOrError(parsed, context, "user", kHelp)) return *answered;
    if (parsed.words.size() != 2)
        return badCommandLine(context, "user",
                              "informe a ação (add, passwd, disable ou enable) e o nome");
    const Subcommand* sub = nullptr;
    for (const Subcommand& s : kSubcommands)
        if (s.name == parsed.words[0]) sub = &s;
    if (!sub)
        return badCommandLine(context, "user",
                              "ação desconhecida; use add, passwd, disable ou enable");
    if (wire::Status status = checkUserName(parsed.words[1]); !status)
        return badCommandLine(context, "user", status.message());
    if (!parsed.options.contains("--db")) return badCommandLine(context, "user", "falta --db URL");

    auto store = openAdminStore(parsed.option("--db"), context.err);
    if (!store) return kRefused;
    Target target{*store, std::string(parsed.words[1])};
    return sub->action(target, context);
}

}  // namespace appserver
