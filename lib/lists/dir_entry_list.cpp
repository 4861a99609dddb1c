#include "lib/lists/dir_entry_list.h"

void HDirEntryList::Add(const char* name, int32_t number, uint32_t size) {
    Entry entry;
    if (name) entry.name = name;
    entry.number = number;
    entry.size = size;
    entries_.push_back(std::move(entry));
}

bool HDirEntryList::GetAt(ConstPosition pos, const char** name, int32_t* number,
                          uint32_t* size) const {
    if (pos == entries_.end()) return false;
    if (name) *name = pos->name ? pos->name->c_str() : nullptr;
    if (number) *number = pos->number;
    if (size) *size = pos->size;
    return true;
}

void HDirEntryList::RemoveAt(Position pos) {
    if (pos != entries_.end()) entries_.erase(pos);
}

void HDirEntryList::RemoveAll() {
    entries_.clear();
}
