// A stand-in for the sound server where a test must act on the captures exactly when it chooses:
// everything goes to the real server, but each capture passes through a wrapper that tells the
// test when the capture is being stopped, and can lose sound on the test's word as the server
// would lose it (counted by the capture, and told to its reader at once).
#pragma once

#include "platform/CaptureDevice.h"
#include "platform/SoundSystem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace station::coretest {

class CaptureDouble : public platform::SoundSystem {
public:
    platform::SoundResult EnumerateCaptureDevices(const DeviceCallback& callback) override {
        return real_.EnumerateCaptureDevices(callback);
    }
    platform::SoundResult
    CreateCaptureDevice(const platform::SoundDeviceId& id,
                        std::unique_ptr<platform::CaptureDevice>* device) override {
        std::unique_ptr<platform::CaptureDevice> inner;
        const platform::SoundResult result = real_.CreateCaptureDevice(id, &inner);
        if (!platform::Failed(result))
            *device = std::make_unique<Device>(*this, std::move(inner));
        return result;
    }
    platform::SoundResult
    CreatePlaybackDevice(const platform::SoundDeviceId& id,
                         std::unique_ptr<platform::PlaybackDevice>* device) override {
        return real_.CreatePlaybackDevice(id, device);
    }

    // The capture made last loses `bytes` of sound now; false when no capture is there.
    bool Lose(std::uint64_t bytes) {
        std::function<void()> tell;
        {
            std::lock_guard guard(lock_);
            if (!last_)
                return false;
            last_->lost += bytes;
            tell = last_->lossHandler;
        }
        if (tell)
            tell();
        return true;
    }

    // Whether a capture stands open now.
    bool CaptureOpen() {
        std::lock_guard guard(lock_);
        return last_ != nullptr;
    }

protected:
    // A capture is being stopped, on the thread that stops it.
    virtual void Stopping() {}

private:
    class Buffer : public platform::CaptureBuffer {
    public:
        Buffer(CaptureDouble& owner, std::unique_ptr<platform::CaptureBuffer> inner)
            : owner_(owner), inner_(std::move(inner)) {
            std::lock_guard guard(owner_.lock_);
            owner_.last_ = this;
        }
        ~Buffer() override {
            std::lock_guard guard(owner_.lock_);
            if (owner_.last_ == this)
                owner_.last_ = nullptr;
        }
        platform::SoundResult Start(bool looping) override { return inner_->Start(looping); }
        platform::SoundResult Stop() override {
            owner_.Stopping();
            return inner_->Stop();
        }
        platform::SoundResult GetCurrentPosition(std::uint32_t* capture,
                                                 std::uint32_t* read) override {
            return inner_->GetCurrentPosition(capture, read);
        }
        platform::SoundResult Lock(std::uint32_t offset, std::uint32_t bytes,
                                   platform::LockedRegion* region) override {
            return inner_->Lock(offset, bytes, region);
        }
        platform::SoundResult Unlock(const platform::LockedRegion& region) override {
            return inner_->Unlock(region);
        }
        std::optional<bool> Overran() override { return inner_->Overran(); }
        std::optional<std::uint64_t> LostBytes() override {
            const std::optional<std::uint64_t> server = inner_->LostBytes();
            std::lock_guard guard(owner_.lock_);
            if (!server && lost == 0)
                return std::nullopt;
            return server.value_or(0) + lost;
        }
        void SetLossHandler(std::function<void()> handler) override {
            {
                std::lock_guard guard(owner_.lock_);
                lossHandler = handler;
            }
            inner_->SetLossHandler(std::move(handler));
        }

        // Under the owner's lock.
        std::uint64_t lost = 0;
        std::function<void()> lossHandler;

    private:
        CaptureDouble& owner_;
        std::unique_ptr<platform::CaptureBuffer> inner_;
    };
    class Device : public platform::CaptureDevice {
    public:
        Device(CaptureDouble& owner, std::unique_ptr<platform::CaptureDevice> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        platform::SoundResult
        CreateCaptureBuffer(const platform::WaveFormat& format, std::uint32_t ringBytes,
                            std::unique_ptr<platform::CaptureBuffer>* buffer) override {
            std::unique_ptr<platform::CaptureBuffer> inner;
            const platform::SoundResult result =
                inner_->CreateCaptureBuffer(format, ringBytes, &inner);
            if (!platform::Failed(result))
                *buffer = std::make_unique<Buffer>(owner_, std::move(inner));
            return result;
        }

    private:
        CaptureDouble& owner_;
        std::unique_ptr<platform::CaptureDevice> inner_;
    };

    platform::SoundSystem& real_ = platform::DefaultSoundSystem();
    std::mutex lock_;
    Buffer* last_ = nullptr;
};

} // namespace station::coretest
