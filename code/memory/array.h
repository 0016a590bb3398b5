// A growable array of fixed-size elements. Its storage comes from the array's own arena when it
// has one, else from EngineAlloc; elements are moved by block copy, so they must be trivially
// copyable. The array owns its storage, never what an element points to.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "memory/arena.h"

template <typename T>
struct Array {
    static_assert(std::is_trivially_copyable_v<T>, "Array moves its elements by block copy");

    T* data;            // null when there is no storage
    uint32_t count;     // elements in use
    uint32_t capacity;  // elements the storage holds; 0 without storage
    uint32_t minCapacity;
    uint8_t releaseOnClear;  // Clear gives the storage back, or shrinks it to minCapacity
    // Where storage comes from and goes back to; null for EngineAlloc. Set when the array is
    // built, before it has storage.
    MemoryArena* arena;

    // Reallocates the storage to exactly max(n, minCapacity, 1) elements, keeping the first ones;
    // when fewer than count remain, count drops to the new capacity. Returns false, with the
    // array untouched, when the new storage cannot be had.
    bool SetCapacity(uint32_t n) {
        if (n < minCapacity) {
            n = minCapacity;
        }
        if (n == 0) {
            n = 1;
        }
        if (n == capacity) {
            return true;
        }
        T* storage = Allocate(n);
        if (storage == nullptr) {
            return false;
        }
        if (data != nullptr) {
            uint32_t kept = count < n ? count : n;
            std::memcpy(static_cast<void*>(storage), data, sizeof(T) * kept);
            Release(data);
        }
        data = storage;
        capacity = n;
        if (count > n) {
            count = n;
        }
        return true;
    }

    // Empties the array; with releaseOnClear it also shrinks the storage to minCapacity, or gives
    // it back when minCapacity is 0.
    void Clear() {
        count = 0;
        if (releaseOnClear == 0) {
            return;
        }
        if (minCapacity != 0) {
            SetCapacity(minCapacity);  // on failure the larger storage simply stays
        } else {
            DropStorage();
        }
    }

    // Afterwards the array holds no storage, whatever releaseOnClear says.
    void Destroy() {
        Clear();
        DropStorage();
    }

    // Adds a copy of value at the end, doubling the storage when it is full. Returns false, with
    // the array untouched, when the storage cannot grow.
    bool Append(const T& value) {
        if (count == capacity && !Grow()) {
            return false;
        }
        new (&data[count]) T(value);
        ++count;
        return true;
    }

private:
    T* Allocate(uint32_t elements) const {
        // Beyond ArenaLargestRequest the arena's own size arithmetic would wrap; the standard
        // heap, when the engine heap is off, is held to the same limit.
        uint64_t bytes = static_cast<uint64_t>(elements) * sizeof(T);
        if (bytes > ArenaLargestRequest) {
            return nullptr;
        }
        uint32_t size = static_cast<uint32_t>(bytes);
        void* storage = arena != nullptr ? ArenaAllocate(arena, size) : EngineAlloc(size);
        return static_cast<T*>(storage);
    }

    // Storage from the array's own arena goes back to that arena directly: EngineFree would hand
    // it to the standard heap whenever the engine heap is switched off.
    void Release(T* storage) const {
        if (arena != nullptr) {
            ArenaFree(storage);
        } else {
            EngineFree(storage);
        }
    }

    void DropStorage() {
        if (data != nullptr) {
            Release(data);
        }
        data = nullptr;
        capacity = 0;
    }

    bool Grow() {
        if (capacity == UINT32_MAX) {
            return false;
        }
        uint64_t doubled = capacity == 0 ? 1 : static_cast<uint64_t>(capacity) * 2;
        return SetCapacity(doubled > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(doubled));
    }
};
