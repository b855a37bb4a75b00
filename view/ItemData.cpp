#include "view/ItemData.h"

#include <new>
#include <vector>

namespace {

// Blocks of item data are kept for the life of the program and reused; the
// GUI thread is the only user.
class CItemDataPool {
public:
    void* Take() {
        if (!m_pFree)
            Grow();
        Slot* slot = m_pFree;
        m_pFree = slot->next;
        return slot;
    }
    void Give(void* p) noexcept {
        auto* slot = static_cast<Slot*>(p);
        slot->next = m_pFree;
        m_pFree = slot;
    }
    ~CItemDataPool() {
        for (Slot* block : m_blocks)
            ::operator delete[](block, std::align_val_t(alignof(Slot)));
    }

private:
    union Slot {
        Slot* next;
        alignas(CItemData) unsigned char storage[sizeof(CItemData)];
    };
    static constexpr std::size_t kBlock = 4096;

    void Grow() {
        auto* block = static_cast<Slot*>(
            ::operator new[](sizeof(Slot) * kBlock, std::align_val_t(alignof(Slot))));
        m_blocks.push_back(block);
        for (std::size_t i = 0; i < kBlock; ++i)
            Give(&block[i]);
    }

    Slot* m_pFree = nullptr;
    std::vector<Slot*> m_blocks;
};

CItemDataPool& Pool() {
    // Never destroyed: item data may still be deleted by tree controls that
    // outlive static destruction order.
    static auto* pool = new CItemDataPool;
    return *pool;
}

} // namespace

void* CItemData::operator new(std::size_t size) {
    if (size != sizeof(CItemData))
        return ::operator new(size);
    return Pool().Take();
}

void CItemData::operator delete(void* p, std::size_t size) noexcept {
    if (!p)
        return;
    if (size != sizeof(CItemData)) {
        ::operator delete(p);
        return;
    }
    Pool().Give(p);
}
