// Files, a port and folders held in memory for the whole-program fuzz target: fuzz inputs
// open, write, kill and list files freely without touching the disk of the machine that runs
// them. Files share a budget of bytes (a full disk past it); COM1 is a loopback port whose
// other end has gone away once its bytes are read, so no read ever waits.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quillon::fuzz {

class MemoryFileSystem : public FileSystem {
  public:
    static constexpr std::size_t kByteBudget = 1 << 20;
    static constexpr std::size_t kEntryBudget = 64;  // files and folders together

    std::unique_ptr<Channel> open_file(std::string_view name, Access, bool truncate) override {
        std::string key(name);
        if (folders_.count(key) || held_.count(key)) return nullptr;
        auto file = files_.find(key);
        if (file == files_.end()) {
            if (entries() >= kEntryBudget) return nullptr;
            file = files_.emplace(key, std::make_shared<Bytes>()).first;
        }
        if (truncate) {
            used_ -= file->second->data.size();
            file->second->data.clear();
        }
        return std::make_unique<FileChannel>(*this, key, file->second);
    }

    std::unique_ptr<Channel> open_port(std::string_view device, Access,
                                       const PortSettings&) override {
        if (device != "COM1" || port_open_) return nullptr;
        return std::make_unique<LoopbackPort>(*this);
    }

    bool remove_file(std::string_view name) override {
        auto file = files_.find(std::string(name));
        if (file == files_.end() || held_.count(file->first)) return false;
        used_ -= file->second->data.size();
        files_.erase(file);
        return true;
    }

    bool make_folder(std::string_view name) override {
        std::string key(name);
        if (files_.count(key) || folders_.count(key) || entries() >= kEntryBudget) return false;
        folders_.insert(key);
        return true;
    }

    std::vector<FolderEntry> list_folder(std::string_view) override {
        std::vector<FolderEntry> entries{{".", true}, {"..", true}};
        for (const std::string& folder : folders_)
            entries.push_back({folder, true});
        for (const auto& file : files_)
            entries.push_back({file.first, false});
        return entries;
    }

    std::optional<std::string> path_of(std::string_view name) override { return std::string(name); }

  private:
    struct Bytes {
        std::string data;
    };

    class FileChannel : public Channel {
      public:
        FileChannel(MemoryFileSystem& owner, std::string name, std::shared_ptr<Bytes> bytes)
            : owner_(owner), name_(std::move(name)), bytes_(std::move(bytes)) {
            owner_.held_.insert(name_);
        }
        ~FileChannel() override { owner_.held_.erase(name_); }

        bool is_port() const override { return false; }

        long read(char* buffer, std::size_t size, const std::atomic<bool>&) override {
            const std::string& data = bytes_->data;
            if (position_ >= data.size()) return kReadEnd;
            std::size_t n = std::min(size, data.size() - position_);
            std::memcpy(buffer, data.data() + position_, n);
            position_ += n;
            return static_cast<long>(n);
        }

        bool write(std::string_view bytes, const std::atomic<bool>&) override {
            std::string& data = bytes_->data;
            std::size_t end = position_ + bytes.size();
            std::size_t growth = end > data.size() ? end - data.size() : 0;
            if (owner_.used_ + growth > kByteBudget) return false;
            if (growth) data.resize(end);
            data.replace(position_, bytes.size(), bytes);
            owner_.used_ += growth;
            position_ = end;
            return true;
        }

        bool seek_relative(int64_t offset) override {
            int64_t target = static_cast<int64_t>(position_) + offset;
            if (target < 0 || target > static_cast<int64_t>(kByteBudget)) return false;
            position_ = static_cast<std::size_t>(target);
            return true;
        }

        std::optional<int64_t> size() override { return static_cast<int64_t>(bytes_->data.size()); }

      private:
        MemoryFileSystem& owner_;
        std::string name_;
        std::shared_ptr<Bytes> bytes_;
        std::size_t position_ = 0;
    };

    class LoopbackPort : public Channel {
      public:
        explicit LoopbackPort(MemoryFileSystem& owner) : owner_(owner) { owner_.port_open_ = true; }
        ~LoopbackPort() override { owner_.port_open_ = false; }

        bool is_port() const override { return true; }

        long read(char* buffer, std::size_t size, const std::atomic<bool>&) override {
            if (pending_.empty()) return kReadEnd;
            std::size_t n = std::min(size, pending_.size());
            std::memcpy(buffer, pending_.data(), n);
            pending_.erase(0, n);
            return static_cast<long>(n);
        }

        bool write(std::string_view bytes, const std::atomic<bool>&) override {
            if (pending_.size() + bytes.size() > kByteBudget) return false;
            pending_.append(bytes);
            return true;
        }

        bool seek_relative(int64_t) override { return false; }
        std::optional<int64_t> size() override { return static_cast<int64_t>(pending_.size()); }

      private:
        MemoryFileSystem& owner_;
        std::string pending_;
    };

    std::size_t entries() const { return files_.size() + folders_.size(); }

    std::map<std::string, std::shared_ptr<Bytes>> files_;
    std::set<std::string> folders_;
    std::set<std::string> held_;  // files some channel has open
    std::size_t used_ = 0;
    bool port_open_ = false;
};

}  // namespace quillon::fuzz
