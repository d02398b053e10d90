// The heartbeat and the bounded calls run on detached threads that own what they touch
// (the shared state, a reference to the device), so a camera that never answers again
// keeps no caller waiting: its threads end once Aravis gives up.
#include "aravis/core/camera_link.h"

#include "aravis/core/last_error.h"
#include "camlib/export_guard.h"
#include "camlib/last_error.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace arv_backend {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kHeartbeatPeriod = std::chrono::milliseconds(100);
// A GigE Vision camera answers a register read within milliseconds; Aravis resends
// after 500 ms. No answer after that and a resend is silence, not a slow link.
constexpr auto kAnswerBound = std::chrono::milliseconds(800);
constexpr auto kPoll = std::chrono::milliseconds(10);
// GigE Vision bootstrap register read as the heartbeat: the control channel privilege,
// which every camera answers. Its value is not judged: a camera that another host took
// over answers a read all the same, and refuses the next write.
constexpr guint64 kControlChannelPrivilege = 0x0A00;

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

} // namespace

struct CameraLink::State {
    explicit State(std::string cameraName) : name(std::move(cameraName)) {}

    // mutex held.
    bool LostLocked() {
        const int64_t since = pendingSince.load();
        if (!lost && since != 0 && Now() - since > std::chrono::nanoseconds(kAnswerBound).count())
            SetLost("a heartbeat read had no answer for " +
                    std::to_string(std::chrono::milliseconds(kAnswerBound).count()) + " ms");
        return lost;
    }
    void SetLost(const std::string& why) {
        if (lost)
            return;
        lost = true;
        reason = why;
        changed.notify_all();
    }

    const std::string name;
    std::mutex mutex;
    std::condition_variable changed;
    bool lost = false;
    std::string reason;
    bool stopping = false;
    bool heartbeatEnded = true;
    // When the heartbeat read now waiting for its answer started (Now()); 0 when none waits.
    std::atomic<int64_t> pendingSince{0};
};

namespace {

// Emitted on Aravis's heartbeat thread, which holds the device while it emits. Once the
// loss is known the host may release everything at once; were the emission's reference
// then the last, the device would be finalized on that very thread, which joins itself
// and aborts. A reference of ours, dropped well after the emission ended and on a thread
// of ours, is the last one instead.
constexpr auto kEmissionOutlived = std::chrono::seconds(1);

void OnControlLost(ArvDevice* device, gpointer data) {
    std::thread([kept = ARV_DEVICE(g_object_ref(device))] {
        std::this_thread::sleep_for(kEmissionOutlived);
        g_object_unref(kept);
    }).detach();
    auto& state = **static_cast<std::shared_ptr<CameraLink::State>*>(data);
    std::lock_guard<std::mutex> lock(state.mutex);
    state.SetLost("Aravis reports the camera's control lost");
}

bool IsLost(CameraLink::State& state) {
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.LostLocked();
}

PvxStatus StoppedAnswering(CameraLink::State& state) {
    std::lock_guard<std::mutex> lock(state.mutex);
    return camlib::Fail(PVX_ERR_CAMERA_NOT_RESPONDING,
                        "camera " + state.name + " stopped answering (" + state.reason + ")");
}

void ForgetState(gpointer data, GClosure* /*closure*/) {
    delete static_cast<std::shared_ptr<CameraLink::State>*>(data);
}

void Heartbeat(const std::shared_ptr<CameraLink::State>& state, ArvDevice* device) {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(state->mutex);
            if (state->changed.wait_for(lock, kHeartbeatPeriod,
                                        [&] { return state->stopping || state->lost; }))
                break;
        }
        state->pendingSince = Now();
        guint32 privilege = 0;
        GError* error = nullptr;
        const bool read = arv_device_read_register(device, kControlChannelPrivilege, &privilege, &error);
        state->pendingSince = 0;
        std::lock_guard<std::mutex> lock(state->mutex);
        if (!read && !state->stopping)
            state->SetLost(std::string("a heartbeat read failed: ") +
                           (error && error->message ? error->message : "no reason given"));
        g_clear_error(&error);
    }
    g_object_unref(device);
    std::lock_guard<std::mutex> lock(state->mutex);
    state->heartbeatEnded = true;
    state->changed.notify_all();
}

} // namespace

CameraLink::CameraLink(std::string cameraName, ArvDevice* device)
    : m_state(std::make_shared<State>(std::move(cameraName))), m_device(ARV_DEVICE(g_object_ref(device))) {
    m_lostHandler = g_signal_connect_data(m_device, "control-lost", G_CALLBACK(OnControlLost),
                                          new std::shared_ptr<State>(m_state), ForgetState, GConnectFlags(0));
    if (!ARV_IS_GV_DEVICE(m_device))
        return;
    m_state->heartbeatEnded = false;
    std::thread([state = m_state, device = ARV_DEVICE(g_object_ref(m_device))] {
        Heartbeat(state, device);
    }).detach();
}

CameraLink::~CameraLink() {
    g_signal_handler_disconnect(m_device, m_lostHandler);
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->stopping = true;
    m_state->changed.notify_all();
    while (!m_state->heartbeatEnded && !m_state->LostLocked())
        m_state->changed.wait_for(lock, kPoll);
    lock.unlock();
    g_object_unref(m_device);
}

bool CameraLink::Lost() const {
    return IsLost(*m_state);
}

void CameraLink::MarkLost(const std::string& reason) {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->SetLost(reason);
}

PvxStatus CameraLink::NotResponding() const {
    return StoppedAnswering(*m_state);
}

PvxStatus CameraLink::Bounded(std::shared_ptr<State> state, std::function<PvxStatus()> work) {
    struct Call {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        PvxStatus status = PVX_OK;
    };
    auto call = std::make_shared<Call>();
    std::thread([call, work = std::move(work)]() mutable {
        const PvxStatus status = camlib::Guarded(work);
        // A closed camera is gone, its control left, before its closer returns.
        work = nullptr;
        std::lock_guard<std::mutex> lock(call->mutex);
        call->done = true;
        call->status = status;
        call->finished.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(call->mutex);
    while (!call->finished.wait_for(lock, kPoll, [&] { return call->done; }))
        if (IsLost(*state))
            return StoppedAnswering(*state);
    if (call->status == PVX_ERR_CAMERA_NOT_RESPONDING) {
        std::lock_guard<std::mutex> stateLock(state->mutex);
        state->SetLost("a request timed out");
    }
    return call->status;
}

PvxStatus StopAcquisition(CameraLink& link, ArvCamera* camera, const std::string& what) {
    ArvCamera* owned = ARV_CAMERA(g_object_ref(camera));
    return link.Bounded([owned, what] {
        GError* error = nullptr;
        arv_camera_stop_acquisition(owned, &error);
        g_object_unref(owned);
        return FromError(error, what);
    });
}

} // namespace arv_backend
