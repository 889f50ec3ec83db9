#include "CWaveBuffer.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "WaveMath.h"
#include "WavePoint.h"

using wave_math::ClampToRange;
using wave_math::Nearest;
using wave_math::PositiveModulo;
using wave_math::Truncate;

CWaveBuffer::~CWaveBuffer()
{
    CAutoBaseLock hold(m_lock);
    m_store.reset();
    m_pending.Delete();
}

int CWaveBuffer::ElementSize(int type)
{
    switch (type) {
    case kInt32:
        return 4;
    case kDouble:
        return 8;
    default:
        return 2;
    }
}

CWaveBuffer::Store CWaveBuffer::AllocateZeroed(std::size_t bytes)
{
    if (bytes == 0 || bytes > kMaxStoreBytes)
        return Store();
    // calloc leaves untouched pages to the OS, so the 256 mostly idle slots stay cheap.
    return Store(static_cast<std::uint8_t*>(std::calloc(bytes, 1)));
}

std::size_t CWaveBuffer::StoreSamplesLocked() const
{
    const std::uint64_t samples = std::uint64_t(std::max(m_windowLength, 0)) * std::uint64_t(std::max(m_pageCount, 0));
    // Anything beyond the byte limit fails to allocate anyway; saturate instead of overflowing.
    return samples > kMaxStoreBytes ? kMaxStoreBytes + 1 : std::size_t(samples);
}

void CWaveBuffer::ResizeStoreLocked(std::size_t bytes, bool keepOldest)
{
    Store fresh = AllocateZeroed(bytes);
    if (fresh && keepOldest && m_store)
        std::memcpy(fresh.get(), m_store.get(), std::min(bytes, m_storeBytes));
    m_store = std::move(fresh);
    m_storeBytes = m_store ? bytes : 0;
    m_pending.Delete();
}

void CWaveBuffer::SetSampleType(int type)
{
    CAutoBaseLock hold(m_lock);
    m_sampleType = type;
    // A missing store is created here too: an owner that keeps the default sizes
    // must still get a store to push into.
    const std::size_t bytes = StoreSamplesLocked() * std::size_t(ElementSize(type));
    if (bytes != m_storeBytes || !m_store)
        ResizeStoreLocked(bytes, false);
}

void CWaveBuffer::SetSampleCount(int length)
{
    {
        CAutoBaseLock hold(m_lock);
        m_windowLength = std::max(length, 0);
        const std::size_t bytes = StoreSamplesLocked() * std::size_t(ElementSize(m_sampleType));
        if (bytes != m_storeBytes || !m_store)
            ResizeStoreLocked(bytes, false);
    }
    {
        CAutoBaseLock hold(m_lock);
        m_offset = 0;
    }
    SetSpan(1);
}

void CWaveBuffer::SetSpan(int windows)
{
    windows = std::clamp(windows, 0, INT_MAX - 1);
    CAutoBaseLock hold(m_lock);
    const std::size_t elementSize = std::size_t(ElementSize(m_sampleType));
    if (m_pageCount == windows + 1 && (m_store || StoreSamplesLocked() == 0))
        return;
    m_pageCount = windows + 1;
    const std::size_t bytes = StoreSamplesLocked() * elementSize;
    if (bytes != m_storeBytes || !m_store)
        ResizeStoreLocked(bytes, true);
}

void CWaveBuffer::SetValueRange(double low, double high)
{
    CAutoBaseLock hold(m_lock);
    m_valueLow = low;
    m_valueHigh = high;
}

void CWaveBuffer::SetOffset(int samples)
{
    CAutoBaseLock hold(m_lock);
    m_offset = samples;
}

void CWaveBuffer::SetWholeWindows(bool on)
{
    CAutoBaseLock hold(m_lock);
    m_wholeWindows = on;
}

void CWaveBuffer::Push(const void* samples, int count)
{
    // An empty push must not contend with the painter; the window length, which the
    // UI thread may change, is only read under the lock.
    if (count <= 0 || !samples)
        return;
    CAutoBaseLock hold(m_lock);
    const std::int64_t length = m_windowLength;
    if (length <= 0 || !m_store)
        return;
    const std::size_t e = std::size_t(ElementSize(m_sampleType));
    const std::size_t total = m_storeBytes / e;

    if (!m_pending.AppendBuffer(samples, std::size_t(count) * e))
        return;  // Out of memory: the samples are dropped and not counted.
    const std::int64_t received = std::int64_t(m_remainder) + count;
    m_windowsReceived.store(m_windowsReceived.load(std::memory_order_relaxed) + received / length,
                            std::memory_order_relaxed);
    m_remainder = int(received % length);

    std::uint8_t* pending = m_pending.GetBuffer();
    std::size_t f = m_pending.GetAvailSize() / e;
    std::size_t g = 0;
    if (m_wholeWindows) {
        g = f % std::size_t(length);
        f -= g;
    }
    std::uint8_t* store = m_store.get();
    if (f < total) {
        std::memmove(store, store + f * e, (total - f) * e);
        if (f > 0)
            std::memcpy(store + (total - f) * e, pending, f * e);
    } else {
        std::memcpy(store, pending + (f - total) * e, total * e);
    }
    // Only an incomplete window stays pending.
    m_pending.SetBuffer(pending + f * e, g * e);
}

double CWaveBuffer::SampleLocked(std::int64_t index) const
{
    const std::uint8_t* at = m_store.get() + std::size_t(index) * std::size_t(ElementSize(m_sampleType));
    switch (m_sampleType) {
    case kInt16: {
        std::int16_t v;
        std::memcpy(&v, at, sizeof v);
        return double(v);
    }
    case kInt32: {
        std::int32_t v;
        std::memcpy(&v, at, sizeof v);
        return double(v);
    }
    case kDouble: {
        double v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    default:
        return 0.0;
    }
}

bool CWaveBuffer::IsMissingLocked(double value) const
{
    return std::isnan(value) || (m_sampleType == kInt32 && value == double(kNoInt32Sample));
}

void CWaveBuffer::BuildPoints(const RECT& area, double zoom, CPtrArrayCtrl& points)
{
    CAutoBaseLock hold(m_lock);
    if (!m_store || !HasValuesLocked() || m_windowLength <= 0 || !(zoom > 0.0) || !std::isfinite(zoom))
        return;
    const std::int64_t W = std::int64_t(area.right) - area.left;
    const std::int64_t H = std::int64_t(area.bottom) - area.top;
    if (W <= 0 || H <= 0)
        return;
    const std::int64_t storeSamples = std::int64_t(m_storeBytes / std::size_t(ElementSize(m_sampleType)));
    const std::int64_t base = std::int64_t(m_windowLength) - m_offset;
    const std::int64_t n = std::max<std::int64_t>(Truncate(m_windowLength / zoom) - 1, 0);
    const double k = W > 1 ? double(n) / double(W - 1) : 0.0;
    const double step = n > 0 ? std::max(1.0, double(W - 1) / double(n)) : double(W);
    const double h = double(H);
    const double range = m_valueHigh - m_valueLow;
    const int first = points.GetCount();

    for (double x = 0.0; x < double(W); x += step) {
        const std::int64_t px = ClampToRange(Nearest(x), 0, W - 1);
        const std::int64_t s = ClampToRange(Nearest(x * k), 0, n);
        // The owner keeps the view inside the store; clamping guards a bad offset or span.
        const std::int64_t index = std::clamp<std::int64_t>(base + s, 0, storeSamples - 1);
        const double v = SampleLocked(index);
        if (IsMissingLocked(v)) {
            if (points.GetCount() > first && !IsWaveBreak(points.GetAt(points.GetCount() - 1)))
                points.AddData(WaveBreakPoint(), -1);
            continue;
        }
        const std::int64_t py = ClampToRange(Nearest(h + h * m_valueLow / range - v * h / range), 0, H - 1);
        points.AddData(PackWavePoint(int(area.left + px), int(area.top + py)), -1);
    }
    if (points.GetCount() > first && IsWaveBreak(points.GetAt(points.GetCount() - 1)))
        points.RemoveAt(points.GetCount() - 1);
}

bool CWaveBuffer::ValueAt(const RECT& area, double zoom, int x, int& sample, int& type, double& value, double& row)
{
    CAutoBaseLock hold(m_lock);
    if (m_windowLength <= 0 || !m_store || !(zoom > 0.0) || !std::isfinite(zoom))
        return false;
    const std::int64_t W = std::int64_t(area.right) - area.left;
    const std::int64_t H = std::int64_t(area.bottom) - area.top;
    if (x < 0 || x >= W || H <= 0)
        return false;
    const std::int64_t length = m_windowLength;
    m_offset = std::clamp(m_offset, 0, m_windowLength);
    type = m_sampleType;

    const double perPixel = W > 1 ? double(Truncate(length / zoom) - 1) / double(W - 1) : 0.0;
    const std::int64_t storeSamples = std::int64_t(m_storeBytes / std::size_t(ElementSize(m_sampleType)));
    const std::int64_t i =
        std::clamp<std::int64_t>(Truncate(Nearest(perPixel * x + double(length - m_offset))), 0, storeSamples - 1);
    if (HasValuesLocked()) {
        const double v = SampleLocked(i);
        if (IsMissingLocked(v))
            return false;
        value = v;
    }
    const double h = double(H);
    const double range = m_valueHigh - m_valueLow;
    row = double(ClampToRange(Nearest(h * m_valueLow / range + h - h * value / range), 0, H - 1));
    sample = int(PositiveModulo(i + m_offset, length));
    return true;
}

void CWaveBuffer::GetValueRange(double& low, double& high)
{
    CAutoBaseLock hold(m_lock);
    low = m_valueLow;
    high = m_valueHigh;
}

int CWaveBuffer::GetSampleType()
{
    CAutoBaseLock hold(m_lock);
    return m_sampleType;
}

int CWaveBuffer::GetSampleCount()
{
    CAutoBaseLock hold(m_lock);
    return m_windowLength;
}

int CWaveBuffer::GetPageCount()
{
    CAutoBaseLock hold(m_lock);
    return m_pageCount;
}

int CWaveBuffer::GetOffset()
{
    CAutoBaseLock hold(m_lock);
    return m_offset;
}

int CWaveBuffer::GetRemainder()
{
    CAutoBaseLock hold(m_lock);
    return m_remainder;
}

bool CWaveBuffer::HasStore()
{
    CAutoBaseLock hold(m_lock);
    return bool(m_store);
}

std::size_t CWaveBuffer::GetPendingSamples()
{
    CAutoBaseLock hold(m_lock);
    return m_pending.GetAvailSize() / std::size_t(ElementSize(m_sampleType));
}

std::vector<double> CWaveBuffer::CopySamples()
{
    CAutoBaseLock hold(m_lock);
    std::vector<double> samples;
    if (!m_store)
        return samples;
    const std::int64_t count = std::int64_t(m_storeBytes / std::size_t(ElementSize(m_sampleType)));
    samples.reserve(std::size_t(count));
    for (std::int64_t i = 0; i < count; ++i)
        samples.push_back(SampleLocked(i));
    return samples;
}
