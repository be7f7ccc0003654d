// An export of the maximal station while a second client changes it throughout: pumps
// renamed, card clients and products added below identifiers already read. Every file the
// export writes must be one state of the controller: each record as that one state held it,
// none twice, none missing.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "kestro/model/station_generators.h"
#include "kestro/store/station_store.h"
#include "tests/kestro_e2e/e2e_support.h"
#include "tests/kestro_server/wire_client.h"

namespace {

using kestro::wire::CallCode;

// The maximal station with every fifth card client and product left out, so that the second
// client has identifiers to add all through the range.
constexpr std::int32_t kGap = 5;
constexpr std::int32_t kFreeIds = 9999 / kGap;  // 5, 10, ..., 9995
constexpr int kPumps = 99;
constexpr int kLastStep = 3 * kFreeIds;

std::int32_t FreeId(int index) {
    return (index + 1) * kGap;
}

kestro::Configuration StationWithGaps() {
    kestro::Configuration station = kestro::MaxStation();
    for (std::int32_t id = kGap; id <= 9999; id += kGap) {
        station.cardClients.Remove(id);
        station.products.Remove(id);
    }
    return station;
}

// The second client's changes, one setter per step: step s renames a pump when (s - 1) % 3 is
// 0, adds the next card client when it is 1 and the next product when it is 2.
struct Step {
    enum Kind { kRenamePump, kAddClient, kAddProduct } kind;
    int index;  // the pump's identifier, or the position in the free identifiers
};

Step StepNumber(int step) {
    const int round = (step - 1) / 3;
    switch ((step - 1) % 3) {
        case 0:
            return {Step::kRenamePump, round % kPumps + 1};
        case 1:
            return {Step::kAddClient, round};
        default:
            return {Step::kAddProduct, round};
    }
}

std::string RenamedPump(int step) {
    return "Renamed at step " + std::to_string(step);
}

std::string AddedName(int index) {
    return "Added " + std::to_string(FreeId(index));
}

std::string Narrow(const kestro::Text& text) {
    std::string narrow;
    for (char16_t unit : text.value_or(u"")) {
        narrow.push_back(static_cast<char>(unit));
    }
    return narrow;
}

class Bstring {
  public:
    explicit Bstring(const std::string& text) {
        std::u16string wide(text.begin(), text.end());
        bstr_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~Bstring() { SysFreeString(bstr_); }
    Bstring(const Bstring&) = delete;
    Bstring& operator=(const Bstring&) = delete;
    BSTR get() const { return bstr_; }

  private:
    BSTR bstr_;
};

// Applies step after step, up to step `allowed` (waiting while it is reached), until told to
// stop or out of steps; `done` counts the steps whose setter has answered.
void ChangeStation(const std::string& address, const kestro::Configuration& station,
                   const std::atomic<bool>& stop, const std::atomic<int>& allowed,
                   std::atomic<int>& done) {
    server_test::WireClient client(address, 5123);
    ASSERT_EQ(client.LogOn(), 0);
    for (int step = 1; step <= kLastStep && !stop; ++step) {
        while (step > allowed && !stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const Step change = StepNumber(step);
        std::int32_t rc = -1;
        if (change.kind == Step::kRenamePump) {
            const kestro::PumpRecord& p = *station.pumps.Find(change.index);
            Bstring name(RenamedPump(step));
            rc = client.Call<CallCode::SetPumpPropertiesEx>(
                p.id, p.number, name.get(), p.physicalNumber, p.side, p.address, p.priceLevel1,
                p.priceLevel2, p.priceDspFormat, p.volumeDspFormat, p.valueDspFormat, p.pumpType,
                p.portId, p.attendantId, p.authMode, p.stackMode, p.prepayAllowed, p.preauthAllowed,
                p.slot, p.muxSlotZigBeeId, p.priceControl, p.hasPreset);
        } else if (change.kind == Step::kAddClient) {
            const std::int32_t id = FreeId(change.index);
            Bstring name(AddedName(change.index));
            Bstring empty("");
            rc = client.Call<CallCode::SetCardClientPropertiesEx4>(
                id, id, name.get(), empty.get(), std::int16_t{1}, std::int16_t{1}, empty.get(),
                empty.get(), empty.get(), empty.get(), std::int16_t{0}, std::int16_t{0},
                std::int16_t{0}, 0.0, std::int16_t{0}, 0.0, std::int32_t{0}, empty.get(), 0.0,
                std::int32_t{0});
        } else {
            const std::int32_t id = FreeId(change.index);
            Bstring name(AddedName(change.index));
            Bstring empty("");
            rc = client.Call<CallCode::SetProductProperties>(
                id, id, name.get(), empty.get(), std::int16_t{1}, empty.get(), empty.get(), 1.5,
                0.0, std::int32_t{0});
        }
        ASSERT_EQ(rc, 0) << "step " << step;
        done = step;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// What a file shows of the changed records.
struct Picture {
    std::vector<std::string> pumpNames;  // by identifier, [0] unused
    std::vector<int> addedClients;       // positions in the free identifiers, file order
    std::vector<int> addedProducts;
    std::vector<std::string> faults;  // records twice or missing
};

// The identifier of a section "<prefix><digits>", or 0 when the name is none of them.
std::int32_t IdOf(const std::string& section, const std::string& prefix) {
    if (section.rfind(prefix, 0) != 0 || section.size() == prefix.size()) {
        return 0;
    }
    const std::string digits = section.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return std::stoi(digits);
}

std::string NameIn(const e2e::IniSection& section) {
    for (const auto& [key, value] : section.keys) {
        if (key == "Name") {
            return value;
        }
    }
    return "";
}

Picture PictureOf(const std::string& file, const kestro::Configuration& station) {
    Picture picture;
    picture.pumpNames.resize(kPumps + 1);
    std::set<std::string> seen;
    std::set<std::int32_t> clients;
    std::set<std::int32_t> products;
    for (const e2e::IniSection& section : e2e::ReadIni(file)) {
        if (!seen.insert(section.name).second) {
            picture.faults.push_back("[" + section.name + "] twice");
            continue;
        }
        if (std::int32_t pump = IdOf(section.name, "Pump"); pump >= 1 && pump <= kPumps) {
            picture.pumpNames[pump] = NameIn(section);
        } else if (std::int32_t id = IdOf(section.name, "Client"); id != 0) {
            clients.insert(id);
            if (id % kGap == 0) {
                picture.addedClients.push_back(id / kGap - 1);
                EXPECT_EQ(NameIn(section), AddedName(id / kGap - 1)) << section.name;
            }
        } else if (std::int32_t id = IdOf(section.name, "Product"); id != 0) {
            products.insert(id);
            if (id % kGap == 0) {
                picture.addedProducts.push_back(id / kGap - 1);
            }
        }
    }
    for (const kestro::CardClientRecord& client : station.cardClients) {
        if (clients.count(client.id) == 0) {
            picture.faults.push_back("card client " + std::to_string(client.id) + " missing");
        }
    }
    for (const kestro::ProductRecord& product : station.products) {
        if (products.count(product.id) == 0) {
            picture.faults.push_back("product " + std::to_string(product.id) + " missing");
        }
    }
    return picture;
}

// The number of steps k, from 0 to `lastStep`, after which the station looked as `picture`
// shows it; -1 when no state did.
int MatchingState(const Picture& picture, const kestro::Configuration& station, int lastStep) {
    std::vector<std::string> names(kPumps + 1);
    for (const kestro::PumpRecord& pump : station.pumps) {
        names[static_cast<std::size_t>(pump.id)] = Narrow(pump.name);
    }
    int clients = 0;
    int products = 0;
    auto added = [](const std::vector<int>& positions, int count) {
        if (static_cast<int>(positions.size()) != count) {
            return false;
        }
        std::set<int> present(positions.begin(), positions.end());
        return static_cast<int>(present.size()) == count &&
               (count == 0 || (*present.begin() == 0 && *present.rbegin() == count - 1));
    };
    for (int k = 0; k <= lastStep; ++k) {
        if (k > 0) {
            const Step change = StepNumber(k);
            if (change.kind == Step::kRenamePump) {
                names[static_cast<std::size_t>(change.index)] = RenamedPump(k);
            } else if (change.kind == Step::kAddClient) {
                ++clients;
            } else {
                ++products;
            }
        }
        if (std::equal(names.begin() + 1, names.end(), picture.pumpNames.begin() + 1) &&
            added(picture.addedClients, clients) && added(picture.addedProducts, products)) {
            return k;
        }
    }
    return -1;
}

TEST(ExportConsistency, EveryFileOfAStationChangedThroughoutIsOneStateOfIt) {
    test_support::TempFolder folder;
    const kestro::Configuration station = StationWithGaps();
    {
        kestro::StationStore store;
        ASSERT_TRUE(store.Open(folder.File("gaps.db"), [&] { return station; })) << store.error();
    }
    e2e::Kestrod server(folder, 71, folder.File("gaps.db"));
    ASSERT_TRUE(server.ready());

    std::atomic<bool> stop = false;
    std::atomic<int> allowed = 3;
    std::atomic<int> done = 0;
    std::thread writer(ChangeStation, server.address(), std::cref(station), std::cref(stop),
                       std::cref(allowed), std::ref(done));
    const auto started = std::chrono::steady_clock::now();
    while (done < 3 && std::chrono::steady_clock::now() - started < std::chrono::seconds(30)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (done < 3) {
        stop = true;
        writer.join();
        FAIL() << "the second client changes nothing";
    }
    // Each export gets its share of the steps, so that a slow build's exports all see changes.
    constexpr int kExports = 3;
    std::vector<std::pair<int, int>> stepsAround;
    for (int run = 1; run <= kExports; ++run) {
        const int before = done;
        allowed = before + (kLastStep - 3) / kExports;
        e2e::Run exported = e2e::RunBrenkar(
            folder, {"EXPORT", "run" + std::to_string(run) + ".ini", server.address()});
        stepsAround.emplace_back(before, done.load());
        EXPECT_EQ(exported.exitCode, 0) << exported.output;
    }
    stop = true;
    writer.join();

    for (int run = 1; run <= kExports; ++run) {
        SCOPED_TRACE("export " + std::to_string(run));
        const auto [before, after] = stepsAround[static_cast<std::size_t>(run - 1)];
        // The second client changed the station during this export.
        EXPECT_LT(before, after);
        const Picture picture =
            PictureOf(folder.File("run" + std::to_string(run) + ".ini"), station);
        EXPECT_EQ(picture.faults, std::vector<std::string>{});
        const int state = MatchingState(picture, station, done);
        EXPECT_NE(state, -1) << "no state of the controller looked like this file";
        // The state is one the controller passed through while the export ran.
        if (state != -1) {
            EXPECT_GE(state, before);
            EXPECT_LE(state, after);
        }
    }
}

}  // namespace
