#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "BaseBuffer.h"
#include "BaseLock.h"
#include "PtrArrayCtrl.h"
#include "WinTypes.h"

// The sliding sample store of one wave. New samples enter at the end and push the
// oldest out at the front; the chart reads the visible part as pixel points.
//
// Threads: Push is called by the acquisition thread, everything else by the UI
// thread. Every operation holds m_lock from start to end, so a paint never sees a
// half-shifted store and a push never races a resize. The one exception is
// GetWindowsReceived, which reads an atomic counter without the lock.
class CWaveBuffer {
public:
    // Sample types: element sizes 2, 4 and 8 bytes. Any other type is kept with
    // 2-byte elements but yields no points and no read-out value.
    static constexpr int kInt16 = 0;
    static constexpr int kInt32 = 1;
    static constexpr int kDouble = 2;
    // A missing sample of 32-bit type: the line breaks there rather than join the
    // samples on either side across the time nothing was received. A NaN of the
    // double type is missing too.
    static constexpr std::int32_t kNoInt32Sample = std::numeric_limits<std::int32_t>::min();

    // Above this size an allocation counts as failed and the store stays empty,
    // so a wild window length cannot exhaust memory.
    static constexpr std::size_t kMaxStoreBytes = std::size_t(256) << 20;

    CWaveBuffer() = default;
    virtual ~CWaveBuffer();
    CWaveBuffer(const CWaveBuffer&) = delete;
    CWaveBuffer& operator=(const CWaveBuffer&) = delete;

    // Changing the element size gives a zeroed store and discards pending input.
    void SetSampleType(int type);
    // New window length (negative counts as 0); resets the offset and the span to 1.
    void SetSampleCount(int length);
    // The store holds windows + 1 windows; the oldest samples are kept when resizing.
    void SetSpan(int windows);
    void SetValueRange(double low, double high);
    void SetOffset(int samples);
    // When on, samples enter the store only in whole windows; the rest waits.
    void SetWholeWindows(bool on);

    // Appends count samples of the current type; dropped while no store exists.
    void Push(const void* samples, int count);
    // Appends one packed point (WavePoint.h) per drawn step of the visible samples; a
    // run of missing samples gives one break point between the points around it.
    void BuildPoints(const RECT& area, double zoom, CPtrArrayCtrl& points);
    // Read-out for column x relative to area.left; false outside the area, without a
    // store or where the sample is missing.
    // value is left untouched for a sample type without values.
    bool ValueAt(const RECT& area, double zoom, int x, int& sample, int& type, double& value, double& row);

    void GetValueRange(double& low, double& high);
    int GetSampleType();
    int GetSampleCount();
    int GetPageCount();
    int GetOffset();
    int GetRemainder();
    // Whole windows received since construction. Lock-free: any thread.
    std::int64_t GetWindowsReceived() const { return m_windowsReceived.load(std::memory_order_relaxed); }
    bool HasStore();
    std::size_t GetPendingSamples();
    // The store's samples as doubles, oldest first; empty without a store.
    std::vector<double> CopySamples();

private:
    struct FreeDeleter {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    using Store = std::unique_ptr<std::uint8_t[], FreeDeleter>;

    static int ElementSize(int type);
    static Store AllocateZeroed(std::size_t bytes);
    // Sample count of the store for the current length and span (0 when too large).
    std::size_t StoreSamplesLocked() const;
    // Replaces the store by one of bytes, keeping the first min(old, new) bytes.
    void ResizeStoreLocked(std::size_t bytes, bool keepOldest);
    double SampleLocked(std::int64_t index) const;
    // A sample value that stands for no sample.
    bool IsMissingLocked(double value) const;
    bool HasValuesLocked() const { return m_sampleType >= kInt16 && m_sampleType <= kDouble; }

    CBaseLock m_lock;
    int m_sampleType = kInt16;
    double m_valueLow = -32767.0;
    double m_valueHigh = 32767.0;
    int m_offset = 0;
    int m_windowLength = 1024;
    int m_pageCount = 2;
    bool m_wholeWindows = false;
    Store m_store;
    std::size_t m_storeBytes = 0;
    CBaseBuffer m_pending;
    // Written under m_lock by Push; read without it by the frame composer.
    std::atomic<std::int64_t> m_windowsReceived{0};
    int m_remainder = 0;
};
