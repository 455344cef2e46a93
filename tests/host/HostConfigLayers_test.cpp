// The host's configuration without --config: the machine-wide file under the user's, key by key.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "HostConfigFile.h"

namespace {

TEST(HostConfigLayersTest, TheUsersFileOverridesTheMachineWideOneKeyByKey) {
    const struct {
        const char* machine;  // nullptr: no such file
        const char* user;
        const char* webUrl;
        int webPort;
        bool tls;
        const char* masks;     // DBPict0|DBPict1
        const char* problems;  // each problem's first word, in order
    } cases[] = {
        {"[Server]\nWebURL=srv\nWebPort=9000\nTls=sim\n", nullptr, "srv", 9000, true,
         "9.99.999.9999;_|", ""},
        {"[Server]\nWebURL=srv\nWebPort=9000\nTls=sim\n", "[Server]\nWebPort=9100\nTls=não\n",
         "srv", 9100, false, "9.99.999.9999;_|", ""},
        {nullptr, "[Server]\nWebURL=u\n", "u", 8427, false, "9.99.999.9999;_|", ""},
        {nullptr, nullptr, "127.0.0.1", 8427, false, "9.99.999.9999;_|", "Arquivo"},
        {"[Masks]\nDBPict0=99\n", "[Masks]\nDBPict1=AA\n", "127.0.0.1", 8427, false, "99|AA", ""},
        {"[Server]\nWebPort=x\n", "[Server]\nWebPort=9100\n", "127.0.0.1", 9100, false,
         "9.99.999.9999;_|", "WebPort"},
        // A bad value in the user's file falls back to the machine's, not to the built-in one.
        {"[Server]\nWebPort=9000\n", "[Server]\nWebPort=abc\n[Masks]\nOutra=1\n", "127.0.0.1", 9000,
         false, "9.99.999.9999;_|", "WebPort Chave"},
    };
    for (const auto& c : cases) {
        const std::string what =
            std::string(c.machine ? c.machine : "-") + " / " + (c.user ? c.user : "-");
        QTemporaryDir dir;
        const QString machine = dir.filePath("etc-vlp-host.ini");
        const QString user = dir.filePath("home-vlp-host.ini");
        for (const auto& [path, text] : {std::pair{machine, c.machine}, std::pair{user, c.user}}) {
            if (!text) continue;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        const HostConfigResult result = loadDefaultHostConfig(machine, user);
        EXPECT_EQ(result.config.WebURL, c.webUrl) << what;
        EXPECT_EQ(result.config.WebPort, c.webPort) << what;
        EXPECT_EQ(result.config.Tls, c.tls) << what;
        auto picture = [&](int type) {
            auto it = result.config.Pictures.find(type);
            return it == result.config.Pictures.end() ? std::string() : it->second;
        };
        EXPECT_EQ(picture(0) + "|" + picture(1), c.masks) << what;
        QStringList firstWords;
        for (const QString& problem : result.problems)
            firstWords << problem.section(QLatin1Char(' '), 0, 0);
        EXPECT_EQ(firstWords.join(QLatin1Char(' ')).toStdString(), c.problems) << what;
        if (!c.machine && !c.user) {
            EXPECT_TRUE(result.problems[0].contains(user)) << what;
        }
    }
}

}  // namespace
