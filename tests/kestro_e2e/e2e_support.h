// The real programs as end-to-end tests run them: kestrod started on a loopback address of
// the test's own block (127.0.BLOCK.n, the first one whose port 5123 is free, so that tests
// and test trees run side by side), and brenkar run against it with a bounded wait.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/kestro_e2e/child_process.h"
#include "tests/support/temp_folder.h"

namespace e2e {

inline const std::string kKestrod = KESTROD_PROGRAM;
inline const std::string kBrenkar = BRENKAR_PROGRAM;

// How long a program may take before a test calls it hung; generous for sanitizer builds.
inline constexpr auto kRunLimit = std::chrono::seconds(120);

struct Run {
    int exitCode = -1;
    std::string output;
};

// Runs brenkar with `arguments` in `folder` and returns its exit code and standard output;
// a run beyond kRunLimit fails the test (and the program is killed).
inline Run RunBrenkar(const test_support::TempFolder& folder,
                      const std::vector<std::string>& arguments) {
    static int runs = 0;
    const std::string base = folder.File("brenkar" + std::to_string(++runs));
    std::vector<std::string> command{kBrenkar};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ChildProcess brenkar(command, folder.path(), base + ".out", base + ".err");
    EXPECT_TRUE(brenkar.Wait(kRunLimit).has_value()) << "brenkar did not end";
    return {brenkar.exitCode(), brenkar.Output()};
}

class Kestrod {
  public:
    // Starts kestrod in `folder` with the database `database` and the further `options` on
    // the first address 127.0.`block`.1..20 whose call port 5123 is free, and waits for its
    // listening line; ready() tells whether it came.
    Kestrod(const test_support::TempFolder& folder, int block, const std::string& database,
            const std::vector<std::string>& options = {})
        : folder_(folder), database_(database) {
        for (int host = 1; host <= 20 && !ready_; ++host) {
            address_ = "127.0." + std::to_string(block) + "." + std::to_string(host);
            ready_ = StartAndWait(options);
            if (!ready_ && Log().find("Address already in use") == std::string::npos) {
                break;
            }
        }
        EXPECT_TRUE(ready_) << "kestrod did not start:\n" << Log();
    }

    bool ready() const { return ready_; }
    const std::string& address() const { return address_; }
    ChildProcess& process() { return *process_; }
    std::string Log() const { return process_->Errors(); }

    // Ends the server with `signal` and returns its exit code (-1 when it did not exit).
    int Stop(int signal = SIGTERM) {
        process_->Signal(signal);
        EXPECT_TRUE(process_->Wait(kRunLimit).has_value()) << "kestrod did not stop";
        return process_->exitCode();
    }

    // Starts the server again on the same address and database (after Stop).
    bool Restart(const std::vector<std::string>& options = {}) {
        ready_ = StartAndWait(options);
        return ready_;
    }

  private:
    // Starts the server and waits until it listens or ends; true when it listens.
    bool StartAndWait(const std::vector<std::string>& options) {
        Start(options);
        auto listening = [this] {
            return process_->Output().find("listening") != std::string::npos;
        };
        WaitUntil(
            [&] {
                process_->Wait(std::chrono::seconds(0));
                return listening() || !process_->running();
            },
            kRunLimit);
        return process_->running() && listening();
    }

    void Start(const std::vector<std::string>& options) {
        static int starts = 0;
        const std::string base = folder_.File("kestrod" + std::to_string(++starts));
        std::vector<std::string> command{kKestrod, "--listen", address_, "--db", database_};
        command.insert(command.end(), options.begin(), options.end());
        process_ =
            std::make_unique<ChildProcess>(command, folder_.path(), base + ".out", base + ".err");
    }

    const test_support::TempFolder& folder_;
    std::string database_;
    std::string address_;
    bool ready_ = false;
    std::unique_ptr<ChildProcess> process_;
};

// The sections of an INI file in file order, each with its keys and values in order.
struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

inline std::vector<IniSection> ReadIni(const std::string& path) {
    std::vector<IniSection> sections;
    std::istringstream text(ReadFile(path));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (std::size_t equals = line.find('='); equals != std::string::npos) {
            if (sections.empty()) {
                sections.push_back({"", {}});
            }
            sections.back().keys.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return sections;
}

// The section names of `sections`, in order.
inline std::vector<std::string> SectionNames(const std::vector<IniSection>& sections) {
    std::vector<std::string> names;
    for (const IniSection& section : sections) {
        names.push_back(section.name);
    }
    return names;
}

}  // namespace e2e
