// The companion's JSON of the stored figures (shared with the web view).
#include "UCliFigures.h"

void WriteLevelStats(TJsonWriter& j, const LevelStats& s) {
    j.BeginObject();
    j.Key("Mean").Real(s.Mean).Key("WarnDev").Real(s.WarnDev).Key("ActionDev").Real(s.ActionDev);
    j.Key("Min").Real(s.Min).Key("Max").Real(s.Max).Key("RangeLow").Real(s.RangeLow);
    j.Key("RangeHigh").Real(s.RangeHigh).Key("N").Int(s.N).Key("NDiscarded").Int(s.NDiscarded);
    j.Key("DF").Int(s.DF).Key("CV");
    if (s.State == 6)
        j.Null();
    else
        j.Real(s.CV);
    j.Key("State").Int(s.State);
    j.EndObject();
}

void WriteLevelValue(TJsonWriter& j, const LevelValue& v) {
    j.BeginObject().Key("Value");
    if (v.State == psEmpty)
        j.Null();
    else
        j.Real(v.Value);
    j.Key("State").Int(v.State).EndObject();
}

std::string AnalytesJson(const TListAnalytes& analytes) {
    TJsonWriter j;
    j.BeginObject().Key("analytes").BeginArray();
    for (const auto& p : analytes.Items) {
        const TAnalyte& a = *p;
        j.BeginObject().Key("Name").Text(a.Name).Key("Unit").Text(a.Unit).Key("Decimals").Int(a.Decimals);
        j.Key("NbLevels").Int(a.NbLevels).Key("Points").Int(a.Count()).Key("Options").Int(a.Options);
        j.Key("MaterialId").BeginArray();
        for (int id : a.MaterialId) j.Int(id);
        j.EndArray().Key("LimitMode").BeginArray();
        for (auto m : a.LimitMode) j.Int(m);
        j.EndArray().EndObject();
    }
    j.EndArray().EndObject();
    return j.Str();
}

std::string LimitsJson(const TAnalyte& an) {
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(an.Name).Key("levels").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) {
        j.BeginObject().Key("LimitMode").Int(an.LimitMode[i]).Key("LockFirst").Int(an.LockFirst[i]);
        j.Key("LockLast").Int(an.LockLast[i]).Key("AllStats");
        WriteLevelStats(j, an.AllStats[i]);
        j.Key("Limits");
        WriteLevelStats(j, an.Limits[i]);
        j.EndObject();
    }
    j.EndArray().EndObject();
    return j.Str();
}

std::string PointsJson(const TAnalyte& an) {
    TJsonWriter j;
    j.BeginObject().Key("points").BeginArray();
    for (const ControlPoint& p : an.Points) {
        j.BeginObject().Key("DateTime").DateTime(p.DateTime).Key("DayCount").DayCount(p.DateTime);
        j.Key("Levels").BeginArray();
        for (int i = 0; i < an.NbLevels; ++i) WriteLevelValue(j, p.Levels[i]);
        j.EndArray().Key("CommentId").Int(p.CommentId).Key("Comment").Text(an.CommentText(p.CommentId));
        j.Key("Operator").Text(p.Operator.View()).EndObject();
    }
    j.EndArray().EndObject();
    return j.Str();
}
