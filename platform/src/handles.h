// Handle tables: every platform object is reached through a 32-bit handle that is never
// reused in a process, so a stale, foreign or 0 handle finds nothing instead of crashing.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>

namespace platform {

// One counter for every kind of object, so a handle of one kind is never a valid handle
// of another.
uint32_t NextHandleValue();

template <typename T> class HandleTable {
  public:
    uint32_t Add(std::unique_ptr<T> object) {
        const uint32_t h = NextHandleValue();
        objects_.emplace(h, std::move(object));
        return h;
    }
    T* Find(uint32_t h) const {
        if (h == 0) return nullptr;
        auto it = objects_.find(h);
        return it == objects_.end() ? nullptr : it->second.get();
    }
    // Removes and hands back the object, so the caller decides when it dies.
    std::unique_ptr<T> Take(uint32_t h) {
        auto it = objects_.find(h);
        if (it == objects_.end()) return nullptr;
        std::unique_ptr<T> object = std::move(it->second);
        objects_.erase(it);
        return object;
    }
    bool Remove(uint32_t h) { return objects_.erase(h) != 0; }
    size_t Size() const { return objects_.size(); }
    template <typename F> void ForEach(F&& f) const {
        for (const auto& [h, object] : objects_)
            f(h, *object);
    }

  private:
    std::unordered_map<uint32_t, std::unique_ptr<T>> objects_;
};

} // namespace platform
