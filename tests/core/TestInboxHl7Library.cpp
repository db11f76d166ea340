// HL7 messages built and sent by an HL7 library of others (Debian's python3-hl7, its MLLP client),
// captured as they came over the connection and read through the inbox.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UFifoResult.h"
#include "UInbox.h"
#include "UOperations.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Python = "/usr/bin/python3";

// Sends two control results (QC-N 5.02 at 08:00, QC-P 10.01 at 08:04) as OUL^R22 messages with fresh
// control ids through the library's MLLPClient to a capture that acknowledges each; the bytes received
// go to argv[1] (argv[2]: "glued" leaves out the CR between segments).
const char* const Sender = R"(import socket, sys, threading
import hl7
from hl7.client import MLLPClient

out, glued = sys.argv[1], len(sys.argv) > 2
server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
server.bind(("127.0.0.1", 0))
server.listen(1)
captured = bytearray()
results = [("QC-N", "5.02", "0800"), ("QC-P", "10.01", "0804")]

def serve():
    conn, _ = server.accept()
    buffer, answered = b"", 0
    while answered < len(results):
        data = conn.recv(65536)
        if not data:
            break
        captured.extend(data)
        buffer += data
        while b"\x1c\r" in buffer:
            block, buffer = buffer.split(b"\x1c\r", 1)
            control = str(hl7.parse(block.lstrip(b"\x0b").decode()).segment("MSH")[10])
            ack = "MSH|^~\\&|LIS|LAB|AN|LAB|20260305090000||ACK|A%s|P|2.5.1\rMSA|AA|%s\r" % (control, control)
            conn.sendall(b"\x0b" + ack.encode() + b"\x1c\r")
            answered += 1
    conn.close()

thread = threading.Thread(target=serve)
thread.start()
template = ("MSH|^~\\&|AN|LAB|LIS|LAB|20260305090000||OUL^R22^OUL_R22|X|P|2.5.1\r"
            "SPM|1|||QC|||||||Q\rINV|X\rOBR|1|||GLU\r"
            "OBX|1|NM|GLU^Glucose||0|mmol/L|||||F|||20260305080000\r")
with MLLPClient("127.0.0.1", server.getsockname()[1]) as client:
    for control, value, time in results:
        message = hl7.parse(template)
        message.assign_field(hl7.generate_message_control_id(), "MSH", 1, 10)
        message.assign_field(control, "INV", 1, 1)
        message.assign_field(value, "OBX", 1, 5)
        message.assign_field("20260305%s00" % time, "OBX", 1, 14)
        text = str(message)
        if glued:
            text = text.replace("\r", "")
        reply = hl7.parse(client.send_message(text).strip(b"\x0b\x1c\r").decode())
        assert str(reply.segment("MSA")[1]) == "AA", str(reply)
thread.join()
with open(out, "wb") as f:
    f.write(bytes(captured))
)";

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool HaveLibrary() {
    return std::system((std::string(Python) + " -c 'import hl7.client' 2>/dev/null").c_str()) == 0;
}

// Glucose on two levels, its controls mapped from the source "an".
class InboxHl7Library : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveLibrary()) GTEST_SKIP() << "python3-hl7 is not installed (apt-get install python3-hl7)";
        auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2);
        for (int k = 0; k < 20; ++k) a->AddPoint(MakeRun(45900 + k, {k % 2 ? 5.1 : 4.9, k % 2 ? 10.2 : 9.8}));
        a->RecalcAll();
        ListAnalytes.Add(std::move(a));
        WriteAllData();
        TInboxSettings s;
        inbox = folder.Path() + "inbox/";
        fs::create_directories(inbox + "an");
        s.Folder = inbox;
        ASSERT_TRUE(Operations().SetInboxSettings(s).Ok());
        ASSERT_TRUE(Operations().MapInstrumentResults({"an", "GLU", "QC-N", "Glucose", 1}).Ok());
        ASSERT_TRUE(Operations().MapInstrumentResults({"an", "GLU", "QC-P", "Glucose", 2}).Ok());
        std::ofstream(folder.File("send.py")) << Sender;
    }
    // The capture of one session, dropped into the source's folder.
    void Send(const std::string& name, bool glued = false) {
        const std::string command = std::string(Python) + " " + folder.File("send.py") + " " + inbox + "an/" +
                                    name + (glued ? " glued" : "");
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    TOpenFolder folder;
    std::string inbox;
};

} // namespace

TEST_F(InboxHl7Library, MessagesSentByTheLibraryBecomeOneHeldRun) {
    Send("session.hl7");
    const std::string session = ReadWholeFile(inbox + "an/session.hl7");
    TInboxReport r;
    TOutcome out = Operations().ReadInbox(&r);
    ASSERT_TRUE(out.Ok()) << out.Message;
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::Read) << r.Files[0].Detail;
    EXPECT_EQ(r.Files[0].Results, 2);
    ASSERT_EQ(Fifo.Count(), 1);
    const TResu& run = Fifo.Entries().front();
    EXPECT_FLOAT_EQ(run.Levels[0].Value, 5.02f);
    EXPECT_FLOAT_EQ(run.Levels[1].Value, 10.01f);
    EXPECT_EQ(run.DateTime, EncodeDate(2026, 3, 5) + EncodeTime(8, 0, 0));

    // The same messages (their control ids) again in another capture: nothing taken twice.
    Write(inbox + "an/again.hl7", "\r\n" + session);
    ASSERT_TRUE(Operations().ReadInbox(&r).Ok());
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::Read) << r.Files[0].Detail;
    EXPECT_EQ(r.Files[0].Repeated, 2);
    EXPECT_EQ(Fifo.Count(), 1);
}

// The same messages with their segments glued together without CR.
TEST_F(InboxHl7Library, SegmentsSentWithoutTheirCrAreReadAsSent) {
    Send("glued.hl7", true);
    const std::string bytes = ReadWholeFile(inbox + "an/glued.hl7");
    ASSERT_EQ(bytes.find("2.5.1\rSPM"), std::string::npos);
    TInboxReport r;
    TOutcome out = Operations().ReadInbox(&r);
    ASSERT_TRUE(out.Ok()) << out.Message;
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Results, 2) << r.Files[0].Detail;
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_FLOAT_EQ(Fifo.Entries().front().Levels[1].Value, 10.01f);
}
