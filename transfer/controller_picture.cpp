// The controller's picture: the export's keys gathered by section.
#include "transfer/controller_picture.h"

#include "ini/ini_document.h"
#include "transfer/section_kinds.h"

void ControllerPicture::SelectSection(const std::string& name) {
    const auto [found, added] = byName_.emplace(section_kinds::Folded(name), sections_.size());
    if (added) {
        const std::size_t keys = sections_.empty() ? 0 : sections_.back().keys.size();
        sections_.push_back({name, {}});
        sections_.back().keys.reserve(keys);  // records of a kind come one after another
    }
    current_ = found->second;
}

bool ControllerPicture::WriteKey(const char* key, const CounterString& value, ValueKind kind) {
    if (sections_.empty()) {
        return false;  // no section selected: the export always selects one first
    }
    sections_[current_].keys.push_back({key, IniDocument::ValueBytes(value), kind});
    return true;
}

const PictureSection* ControllerPicture::Find(const std::string& name) const {
    const auto found = byName_.find(section_kinds::Folded(name));
    return found == byName_.end() ? nullptr : &sections_[found->second];
}
