#include "reserve_list.h"

#include "core/ip_text.h"
#include "core/prompts.h"

namespace talvir {

namespace {

QString rowTitle() { return QStringLiteral("Запись IP - адреса"); }

} // namespace

Dataset *newReserveList(QObject *parent)
{
    auto *list = new Dataset({QStringLiteral("address")}, parent);
    list->setObjectName(QStringLiteral("reserveList"));
    list->setFieldCaption(kReserveAddressField, QStringLiteral("IP-адрес резервного СИ"));
    list->setFieldWidth(kReserveAddressField, kReserveAddressChars);
    return list;
}

ReserveServers::ReserveServers(const Variant &variant, PromptService &prompts, QObject *parent)
    : QObject(parent), variant_(variant), prompts_(prompts), list_(newReserveList(this))
{
    list_->setBeforeInsert([this] { return allowInsert(); });
    list_->setBeforePost([this] { return checkAddressRow(); });
    list_->setAfterPost([this] { emit countChanged(list_->recordCount()); });
    list_->setAfterDelete([this] { emit countChanged(list_->recordCount()); });
}

QStringList ReserveServers::addressTexts() const
{
    QStringList out;
    for (const Dataset::Row &row : list_->storedRows())
        out << row.value(kReserveAddressField).toString();
    return out;
}

void ReserveServers::clearList()
{
    list_->clear();
    emit countChanged(0);
}

void ReserveServers::setAddressTexts(const QStringList &texts)
{
    list_->clear();
    // Each text goes in as a typed row would, so the row checks and the counter run for it.
    for (const QString &text : texts) {
        if (list_->append()) {
            list_->setFieldValue(kReserveAddressField, text);
            list_->post();
        }
        list_->cancel(); // a text that is not an address stays out of the list
    }
    list_->first();
    emit countChanged(list_->recordCount());
}

bool ReserveServers::allowInsert()
{
    const bool room = list_->recordCount() < kReserveServers;
    if (!room)
        prompts_.message(rowTitle(), QStringLiteral("Превышение допустимого числа IP - адресов"), MessageIcon::Error,
                         MessageButtons::Ok, MessageAnswer::None, true);
    emit navigationAllowed(room);
    return room;
}

bool ReserveServers::checkAddressRow()
{
    // A part that is not a whole number is reported as the general error report does, and the row
    // stays open for correction.
    QString notANumber;
    const std::optional<quint32> address = ipFromText(list_->fieldValue(kReserveAddressField).toString(), &notANumber);
    if (!address) {
        reportError(prompts_, errorReportTitle(variant_), notANumber);
        list_->keepPendingRow();
        return false;
    }
    if (*address == 0)
        prompts_.message(rowTitle(), QStringLiteral("Нарушен формат IP-адреса"), MessageIcon::Error,
                         MessageButtons::Ok, MessageAnswer::None, true);
    emit navigationAllowed(*address != 0);
    return *address != 0;
}

bool ReserveServers::settle()
{
    list_->checkBrowseMode();
    return list_->state() == Dataset::State::Browse;
}

bool ReserveServers::saveList()
{
    Addresses addresses{};
    const QStringList texts = addressTexts();
    for (int n = 0; n < texts.size() && n < kReserveServers; ++n) {
        QString error;
        const std::optional<quint32> address = ipFromText(texts.at(n), &error);
        if (!address) {
            reportError(prompts_, errorReportTitle(variant_), error);
            return false;
        }
        addresses[std::size_t(n)] = *address;
    }
    stored_ = addresses;
    return true;
}

bool ReserveServers::clearAll()
{
    if (!settle())
        return false;
    list_->clear();
    stored_.fill(0);
    emit countChanged(0);
    return true;
}

} // namespace talvir
