#include "SerialIoThread.h"

#include <QSocketNotifier>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "SerialPortWorker.h"

CSerialIoThread::CSerialIoThread(CIncomingByteQueue& incoming) : m_incoming(incoming)
{
    setObjectName(QStringLiteral("RadarSerialIO"));
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

CSerialIoThread::~CSerialIoThread()
{
    Stop();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool CSerialIoThread::Launch()
{
    if (m_wakeFd < 0)
        return false;
    {
        std::lock_guard lock(m_mutex);
        if (m_accepting)
            return true;
        m_jobs.clear();
        m_accepting = true;
        m_finished = false;
    }
    start();
    return true;
}

bool CSerialIoThread::Post(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_accepting)
            return false;
        m_jobs.push_back(std::move(job));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    return true;
}

void CSerialIoThread::Stop()
{
    // The last job closes the port and ends the event loop from inside the thread.
    if (!Post([this](CSerialPortWorker& worker) {
            worker.Close();
            exit(0);
        }))
        return;
    {
        std::unique_lock lock(m_mutex);
        m_finishedChanged.wait(lock, [this] { return m_finished; });
    }
    wait();
}

void CSerialIoThread::run()
{
    // Runs on the I/O thread from here to the end.
    {
        CSerialPortWorker worker(m_incoming);
        QSocketNotifier wake(qintptr(m_wakeFd), QSocketNotifier::Read);
        QObject::connect(&wake, &QSocketNotifier::activated, &worker, [this, &worker] {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &count, sizeof count);
            RunJobs(worker);
        });
        RunJobs(worker);
        exec();
        worker.Close();
    }
    std::lock_guard lock(m_mutex);
    m_accepting = false;
    m_jobs.clear();
    m_finished = true;
    m_finishedChanged.notify_all();
}

void CSerialIoThread::RunJobs(CSerialPortWorker& worker)
{
    for (;;) {
        Job job;
        {
            std::lock_guard lock(m_mutex);
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job(worker);
    }
}
