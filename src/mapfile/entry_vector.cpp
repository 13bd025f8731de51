#include "mapfile/entry_vector.h"

namespace tarvel {

c_entry_vector::c_entry_vector(const c_entry_vector& other) {
    entries_.reserve(other.size());
    for (const c_map_entry& entry : other) {
        push_back(entry);
    }
}

c_entry_vector& c_entry_vector::operator=(const c_entry_vector& other) {
    if (this != &other) {
        c_entry_vector copy(other);
        *this = std::move(copy);
    }
    return *this;
}

}  // namespace tarvel
