// A doubly linked list whose nodes hold the element by value, followed by next and prev. The
// list owns its nodes (from EngineAlloc), never what an element points to.
// Invariants: head and tail are both null exactly when count is 0; head->prev and tail->next
// are null.
#pragma once

#include <cstdint>
#include <new>

#include "memory/arena.h"

template <typename T>
struct LinkedListNode {
    T value;
    LinkedListNode* next;
    LinkedListNode* prev;
};

template <typename T>
struct LinkedList {
    using Node = LinkedListNode<T>;

    Node* head;
    Node* tail;
    uint32_t count;
    void* reserved;  // zero when built; read by nothing

    // Appends a node holding `value`; returns it, or null when no node could be allocated.
    Node* PushBack(const T& value) {
        Node* node = static_cast<Node*>(EngineAlloc(sizeof(Node)));
        if (node == nullptr) {
            return nullptr;
        }
        new (node) Node{value, nullptr, tail};
        if (tail != nullptr) {
            tail->next = node;
        } else {
            head = node;
        }
        tail = node;
        ++count;
        return node;
    }

    // Unlinks and releases a node of this list; null is ignored. Callers walking the list read
    // node->next first.
    void Remove(Node* node) {
        if (node == nullptr) {
            return;
        }
        if (node == head) {
            head = head->next;
            if (head == nullptr) {
                tail = nullptr;
            } else {
                head->prev = nullptr;
            }
        } else if (node == tail) {
            tail = tail->prev;
            if (tail == nullptr) {
                head = nullptr;
            } else {
                tail->next = nullptr;
            }
        } else {
            if (node->next != nullptr) {
                node->next->prev = node->prev;
            }
            if (node->prev != nullptr) {
                node->prev->next = node->next;
            }
        }
        EngineFree(node);
        --count;
    }

    // Releases every node; element targets are left alone.
    void Clear() {
        for (Node* node = head; node != nullptr;) {
            Node* next = node->next;
            EngineFree(node);
            node = next;
        }
        head = nullptr;
        tail = nullptr;
        count = 0;
    }
};
