#pragma once
// HDirEntryList: one player memory's directory as the device layer lists it.
#include <cstdint>
#include <list>
#include <optional>
#include <string>

class HDirEntryList {
public:
    struct Entry {
        std::optional<std::string> name; // absent when added with a null name
        int32_t number = 0;              // position in the memory's directory
        uint32_t size = 0;               // bytes
    };
    using Position = std::list<Entry>::iterator;
    using ConstPosition = std::list<Entry>::const_iterator;

    HDirEntryList() = default;
    HDirEntryList(const HDirEntryList&) = delete;
    HDirEntryList& operator=(const HDirEntryList&) = delete;
    virtual ~HDirEntryList() { RemoveAll(); }

    // Appends an entry with its own copy of name (or none).
    void Add(const char* name, int32_t number, uint32_t size);
    // Fills each output that is not null (name is null for a nameless entry);
    // false when pos holds no entry.
    bool GetAt(ConstPosition pos, const char** name, int32_t* number, uint32_t* size) const;
    virtual void RemoveAt(Position pos);
    virtual void RemoveAll();

    Position GetHeadPosition() { return entries_.begin(); }
    ConstPosition GetHeadPosition() const { return entries_.begin(); }
    ConstPosition End() const { return entries_.end(); }
    size_t GetCount() const { return entries_.size(); }
    bool IsEmpty() const { return entries_.empty(); }

    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::list<Entry> entries_;
};
