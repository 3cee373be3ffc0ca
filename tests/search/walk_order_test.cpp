// The walk order of the parallel folder search: listings that arrive in any
// order, or from real worker threads at random speeds, come out in the
// single-threaded pre-order; a stop ends every listing; a failing listing
// reaches the calling thread. Trees are generated: deep chains, wide
// folders, empty folders and links.
#include "search/walk_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>

namespace search {
namespace {

struct FakeFolder {
  std::vector<std::wstring> files;
  std::vector<std::pair<std::wstring, bool>> subfolders;  // name, link
};
using FakeTree = std::map<std::wstring, FakeFolder>;  // by path with its "\"
const std::wstring kRoot = L"R\\";

// Each new folder goes below the last one (deep chains) or below any
// folder met so far (wide ones); some are links, many have no files.
FakeTree MakeTree(std::mt19937& rng, int folders) {
  FakeTree tree{{kRoot, {}}};
  std::vector<std::wstring> paths{kRoot};
  for (int i = 0; i < folders; ++i) {
    const std::wstring parent = rng() % 2 ? paths.back() : paths[rng() % paths.size()];
    const std::wstring name = (rng() % 2 ? L"d" : L"D") + std::to_wstring(i);
    const bool link = rng() % 10 == 0;
    tree[parent].subfolders.emplace_back(name, link);
    if (link) continue;
    paths.push_back(parent + name + L"\\");
    FakeFolder& folder = tree[paths.back()];
    for (unsigned f = rng() % 4; f > 0; --f) folder.files.push_back(L"f" + std::to_wstring(f));
  }
  return tree;
}

FolderListing FakeListing(const FakeTree& tree, const std::wstring& path) {
  FolderListing listing;
  listing.path = path;
  const FakeFolder& folder = tree.at(path);
  for (const std::wstring& name : folder.files) listing.files.push_back(path + name);
  for (const auto& [name, link] : folder.subfolders) listing.subfolders.push_back({path + name + L"\\", link});
  listing.folders = static_cast<long>(folder.subfolders.size());
  return listing;
}

std::wstring Describe(const WalkStep& step) {
  std::wstring text = (step.link ? L"link " : L"folder ") + step.folder.path;
  for (const std::wstring& file : step.folder.files) text += L" | " + file;
  return text + L" | " + std::to_wstring(step.folder.folders);
}

// The single-threaded walk the order has to give.
void Reference(const FakeTree& tree, const std::wstring& path, std::vector<std::wstring>& out) {
  WalkStep step;
  step.folder = FakeListing(tree, path);
  out.push_back(Describe(step));
  for (const Subfolder& sub : step.folder.subfolders) {
    if (sub.link) {
      out.push_back(L"link " + sub.path + L" | 0");
    } else {
      Reference(tree, sub.path, out);
    }
  }
}

std::vector<std::wstring> Reference(const FakeTree& tree) {
  std::vector<std::wstring> out;
  Reference(tree, kRoot, out);
  return out;
}

TEST(WalkOrder, ListingsArrivingInAnyOrderComeOutInWalkOrder) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    const FakeTree tree = MakeTree(rng, round % 5 == 0 ? 0 : static_cast<int>(rng() % 300));
    // Number every listing the way the workers would, then deliver them shuffled.
    std::vector<std::pair<size_t, FolderListing>> listings;
    listings.emplace_back(0, FakeListing(tree, kRoot));
    for (size_t i = 0; i < listings.size(); ++i) {
      for (Subfolder& sub : listings[i].second.subfolders) {
        if (sub.link) continue;
        sub.id = listings.size();
        listings.emplace_back(sub.id, FakeListing(tree, sub.path));
      }
    }
    std::shuffle(listings.begin(), listings.end(), rng);
    WalkOrder order(0);
    std::vector<std::wstring> walked;
    WalkStep step;
    for (auto& [id, listing] : listings) {
      ASSERT_FALSE(order.Done());
      order.Add(id, std::move(listing));
      while (order.Next(step)) walked.push_back(Describe(step));
    }
    EXPECT_TRUE(order.Done());
    EXPECT_FALSE(order.Next(step));
    EXPECT_EQ(walked, Reference(tree)) << "round " << round;
  }
}

// A lister over a generated tree that takes a random while per folder.
FolderLister SlowLister(const FakeTree& tree, std::atomic<int>* running = nullptr) {
  return [&tree, running](const std::wstring& path, const std::atomic<bool>& stop) {
    if (running) ++*running;
    thread_local std::mt19937 rng(std::hash<std::thread::id>()(std::this_thread::get_id()));
    for (unsigned spins = rng() % 200; spins > 0 && !stop; --spins) std::this_thread::yield();
    FolderListing listing = FakeListing(tree, path);
    if (running) --*running;
    return listing;
  };
}

std::vector<std::wstring> WalkAll(ParallelWalk& walk) {
  std::vector<std::wstring> walked;
  WalkStep step;
  walk.Start(kRoot);
  for (;;) {
    WalkState state = walk.Next(step, std::chrono::milliseconds(1));
    if (state == WalkState::Done) return walked;
    if (state == WalkState::Ready) walked.push_back(Describe(step));
  }
}

TEST(ParallelWalk, WorkersAtRandomSpeedsGiveTheWalkOrder) {
  std::mt19937 rng(11);
  for (int round = 0; round < 30; ++round) {
    const FakeTree tree = MakeTree(rng, static_cast<int>(rng() % 400));
    ParallelWalk walk(2 + round % 3, SlowLister(tree));
    EXPECT_EQ(WalkAll(walk), Reference(tree)) << "round " << round;
  }
}

TEST(ParallelWalk, StopAtAnyMomentEndsEveryListing) {
  std::mt19937 rng(13);
  const FakeTree tree = MakeTree(rng, 2000);
  for (int round = 0; round < 20; ++round) {
    std::atomic<int> running{0};
    ParallelWalk walk(3, SlowLister(tree, &running));
    walk.Start(kRoot);
    WalkStep step;
    for (unsigned steps = rng() % 300; steps > 0;) {
      WalkState state = walk.Next(step, std::chrono::milliseconds(1));
      ASSERT_NE(state, WalkState::Done);
      if (state == WalkState::Ready) --steps;
    }
    walk.Stop();
    EXPECT_EQ(running.load(), 0);
    EXPECT_EQ(walk.Next(step, std::chrono::milliseconds(1)), WalkState::Done);
  }
}

TEST(ParallelWalk, ListerFailureReachesTheCallingThread) {
  std::mt19937 rng(17);
  const FakeTree tree = MakeTree(rng, 300);
  const std::wstring failing = std::next(tree.begin(), 150)->first;
  ParallelWalk walk(2, [&](const std::wstring& path, const std::atomic<bool>&) {
    if (path == failing) throw std::runtime_error("unreadable");
    return FakeListing(tree, path);
  });
  EXPECT_THROW(WalkAll(walk), std::runtime_error);
}

}  // namespace
}  // namespace search
