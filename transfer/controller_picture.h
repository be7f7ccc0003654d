// ControllerPicture: the controller's configuration as the export would write it, kept in
// memory instead of a file: sections in file order, each with its keys, the texts the export
// formats, and how the import reads each back. VERIFY compares it with a file.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "transfer/config_writer.h"

struct PictureKey {
    std::string key;
    std::string value;  // the bytes the export writes (IniDocument::ValueBytes)
    ValueKind kind;
};

struct PictureSection {
    std::string name;
    std::vector<PictureKey> keys;
};

class ControllerPicture : public ConfigSink {
  public:
    // A section selected again (a port's FirmwareVersion after its TankGauge section) gathers
    // its keys in the one section of that name.
    void SelectSection(const std::string& name) override;
    bool WriteKey(const char* key, const CounterString& value, ValueKind kind) override;

    const std::vector<PictureSection>& Sections() const { return sections_; }
    // The section named `name` (case aside), or null.
    const PictureSection* Find(const std::string& name) const;

  private:
    std::vector<PictureSection> sections_;
    std::unordered_map<std::string, std::size_t> byName_;  // folded name -> index
    std::size_t current_ = 0;
};
