// kestrim-sql: the command-line client of Kestrim's embedded database.
//
//   kestrim-sql [-S] [user[/password][@host] | /NOLOG] [@script [arguments]]
//   kestrim-sql --create PATH [--system-password PASSWORD]
#include "localdb/client/client.h"
#include "localdb/client/output.h"
#include "localdb/client/terminal.h"

#include "localdb/localdb.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

using localdb::client::Client;
using localdb::client::ClientOptions;
using localdb::client::Output;

constexpr int kLogonAttempts = 3;

void printUsage() {
    std::printf("usage: kestrim-sql [-S] [user[/password][@host] | /NOLOG] [@script [arguments]]\n"
                "       kestrim-sql --create PATH [--system-password PASSWORD]\n"
                "\n"
                "  -S       silent: no banner and no prompts\n"
                "  host     a database file, an alias of the alias file, or \"demo\"\n"
                "  --create creates an empty database whose only user is SYSTEM\n");
}

void printBanner() {
    const std::time_t now = std::time(nullptr);
    char when[64];
    std::strftime(when, sizeof when, "%a %b %e %H:%M:%S %Y", std::localtime(&now));
    std::printf("\nkestrim-sql: Release %s - Production on %s\n\n", KESTRIM_VERSION, when);
}

int createDatabase(const std::string &path, std::optional<std::string> password) {
    if (!password) {
        password = localdb::client::readPassword("Enter password for SYSTEM: ");
        if (password && localdb::client::standardInputIsTerminal()) {
            std::optional<std::string> again = localdb::client::readPassword("Confirm password: ");
            if (again != password) {
                std::fprintf(stderr, "kestrim-sql: the passwords do not match; no database was created\n");
                return 1;
            }
        }
    }
    if (!password || password->empty()) {
        std::fprintf(stderr, "kestrim-sql: a password for SYSTEM is needed; no database was created\n");
        return 1;
    }
    try {
        localdb::Session::createDatabase(path, *password);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("Database created.\n");
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    ClientOptions options;
    std::string logon;
    bool noLogon = false;
    std::string script;
    std::vector<std::string> scriptArguments;
    std::optional<std::string> createPath;
    std::optional<std::string> systemPassword;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!script.empty()) {
            scriptArguments.push_back(arg);
        } else if (arg == "-S" || arg == "-s") {
            options.silent = true;
        } else if (arg == "--create" && i + 1 < argc) {
            createPath = argv[++i];
        } else if (arg == "--system-password" && i + 1 < argc) {
            systemPassword = argv[++i];
        } else if (arg == "-h" || arg == "--help" || arg == "-H") {
            printUsage();
            return 0;
        } else if (arg == "-v" || arg == "--version" || arg == "-V") {
            std::printf("kestrim-sql: Release %s\n", KESTRIM_VERSION);
            return 0;
        } else if (arg == "-L" || arg == "-l") {
            // Log on once only: that is how this client always behaves without a terminal.
        } else if (arg.size() > 1 && arg[0] == '@') {
            script = arg.substr(1);
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kestrim-sql: unknown option \"%s\"\n", arg.c_str());
            printUsage();
            return 1;
        } else if (arg == "/NOLOG" || arg == "/nolog") {
            noLogon = true;
        } else if (logon.empty()) {
            logon = arg;
        } else {
            // "user/password@host AS SYSDBA" arrives as several words.
            logon += " " + arg;
        }
    }
    if (createPath)
        return createDatabase(*createPath, systemPassword);
    if (systemPassword) {
        std::fprintf(stderr, "kestrim-sql: --system-password goes with --create\n");
        return 1;
    }

    if (!options.silent)
        printBanner();
    Output out;
    Client client(options, out);
    if (!noLogon) {
        bool connected = false;
        for (int attempt = 1; attempt <= kLogonAttempts && !connected; ++attempt) {
            if (logon.empty()) {
                out.prompt("Enter user-name: ");
                logon = localdb::client::readLine(stdin).value_or(std::string());
            }
            connected = client.connect(logon, false);
            logon.clear();
            // Without a terminal there is nobody to ask again; the lines that follow are the script.
            if (!connected && !localdb::client::standardInputIsTerminal())
                break;
        }
        if (!connected) {
            std::fprintf(stderr, "kestrim-sql: unable to connect, exiting\n");
            return 1;
        }
        if (!options.silent)
            out.line("Connected to:\nKestrim embedded database (Oracle SQL on SQLite)\n");
    }
    if (!script.empty()) {
        std::string path = script;
        const size_t slash = path.find_last_of('/');
        const size_t dot = path.find_last_of('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            path += ".sql";
        client.runScript(path, scriptArguments);
    }
    if (!client.exitRequested())
        client.runStandardInput();
    return client.finish();
}
