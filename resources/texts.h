// Every French text the program shows, in one place. The wording is the product's established one,
// spaces where apostrophes would be and "smart carte" included: keep it character for character.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbelin::texts {

// Main window.
inline constexpr std::u16string_view kWindowCaption = u"Orbelin - Contrôle du service";
inline constexpr std::u16string_view kHeading = u"Contrôle du service \"Carte à puce\"";
inline constexpr std::u16string_view kSubheading =
    u"Cette application est compatible avec le logiciel Orbelin uniquement";
inline constexpr std::u16string_view kQuitCaption = u" Quitter";
inline constexpr std::u16string_view kCheckCaption = u" Lancer le contrôle";
inline constexpr std::u16string_view kRemoteSupportLink = u"Support à Distance";
inline constexpr std::u16string_view kProductLink = u"Logiciel lecture Vitale";

// What assistive technology calls the default actions: a button's, and a link's.
inline constexpr std::u16string_view kPressAction = u"Appuyer";
inline constexpr std::u16string_view kFollowLinkAction = u"Suivre le lien";

// Report of one check.
inline constexpr std::u16string_view kConnected = u"Connecté au service\r\n";
inline constexpr std::u16string_view kConnectionFailed = u"Erreur durant la connexion au service\r\n";
inline constexpr std::u16string_view kReturnLabel = u"Retour :";
inline constexpr std::u16string_view kUnknownCodePrefix = u" Inconnu - ";

struct ResultMessage {
    std::uint32_t code;
    std::u16string_view text;
};

// Ordered as the lookup expects: 109, then 0x80100001..0x80100034, then 0x80100065..0x80100072.
// clang-format off
inline constexpr ResultMessage kResultMessages[] = {
    {0x0000006D, u"Le client a tenté une opération de carte intelligente dans une session distante, telle qu’une session cliente s’exécutant sur un serveur Terminal Server, et le système d’exploitation utilisé ne prend pas en charge la redirection smart carte."},  // ERROR_BROKEN_PIPE
    {0x80100001, u"Une case activée de cohérence interne a échoué"},  // SCARD_F_INTERNAL_ERROR
    {0x80100002, u"L action a été annulée par une demande SCardCancel "},  // SCARD_E_CANCELLED
    {0x80100003, u"Le handle fourni n était pas valide"},  // SCARD_E_INVALID_HANDLE
    {0x80100004, u"Un ou plusieurs des paramètres fournis n ont pas pu être correctement interprétés"},  // SCARD_E_INVALID_PARAMETER
    {0x80100005, u"Les informations de démarrage du Registre sont manquantes ou non valides"},  // SCARD_E_INVALID_TARGET
    {0x80100006, u"Mémoire insuffisante pour effectuer cette commande"},  // SCARD_E_NO_MEMORY
    {0x80100007, u"Un minuteur de cohérence interne a expiré"},  // SCARD_F_WAITED_TOO_LONG
    {0x80100008, u"La mémoire tampon de données pour les données retournées est trop petite pour les données retournées"},  // SCARD_E_INSUFFICIENT_BUFFER
    {0x80100009, u"Le nom de lecteur spécifié n est pas reconnu"},  // SCARD_E_UNKNOWN_READER
    {0x8010000A, u"La valeur de délai d attente spécifiée par l utilisateur a expiré"},  // SCARD_E_TIMEOUT
    {0x8010000B, u"Le carte intelligent est inaccessible en raison d autres connexions en suspens"},  // SCARD_E_SHARING_VIOLATION
    {0x8010000C, u"L opération nécessite un carte intelligent, mais aucun carte intelligent ne se trouve actuellement dans l appareil"},  // SCARD_E_NO_SMARTCARD
    {0x8010000D, u"Le nom de carte intelligent spécifié n est pas reconnu"},  // SCARD_E_UNKNOWN_CARD
    {0x8010000E, u"Le système n a pas pu éliminer les médias de la manière demandée"},  // SCARD_E_CANT_DISPOSE
    {0x8010000F, u"Les protocoles demandés sont incompatibles avec le protocole actuellement utilisé avec le carte"},  // SCARD_E_PROTO_MISMATCH
    {0x80100010, u"Le lecteur ou carte n est pas prêt à accepter les commandes"},  // SCARD_E_NOT_READY
    {0x80100011, u"Une ou plusieurs des valeurs de paramètre fournies n ont pas pu être correctement interprétées"},  // SCARD_E_INVALID_VALUE
    {0x80100012, u"L action a été annulée par le système, vraisemblablement pour fermer la session ou l arrêter"},  // SCARD_E_SYSTEM_CANCELLED
    {0x80100013, u"Une erreur de communication interne a été détectée"},  // SCARD_F_COMM_ERROR
    {0x80100014, u"Une erreur interne a été détectée, mais la source est inconnue"},  // SCARD_F_UNKNOWN_ERROR
    {0x80100015, u"Une chaîne ATR obtenue à partir du Registre n est pas une chaîne ATR valide"},  // SCARD_E_INVALID_ATR
    {0x80100016, u"Une tentative a été effectuée pour mettre fin à une transaction inexistante"},  // SCARD_E_NOT_TRANSACTED
    {0x80100017, u"Le lecteur spécifié n est actuellement pas disponible pour utilisation"},  // SCARD_E_READER_UNAVAILABLE
    {0x80100018, u"L opération a été abandonnée pour permettre à l application serveur de se quitter"},  // SCARD_P_SHUTDOWN
    {0x80100019, u"La mémoire tampon de réception PCI était trop petite"},  // SCARD_E_PCI_TOO_SMALL
    {0x8010001A, u"Le pilote de lecteur ne répond pas aux exigences minimales en matière de prise en charge"},  // SCARD_E_READER_UNSUPPORTED
    {0x8010001B, u"Le pilote de lecteur n a pas produit de nom de lecteur unique"},  // SCARD_E_DUPLICATE_READER
    {0x8010001C, u"Le carte intelligent ne répond pas aux exigences minimales en matière de support"},  // SCARD_E_CARD_UNSUPPORTED
    {0x8010001D, u"Le gestionnaire de ressources smart carte n est pas en cours d exécution"},  // SCARD_E_NO_SERVICE
    {0x8010001E, u"Le gestionnaire de ressources smart carte s est arrêté"},  // SCARD_E_SERVICE_STOPPED
    {0x8010001F, u"Une erreur de carte inattendue s est produite"},  // SCARD_E_UNEXPECTED
    {0x80100020, u"Aucun fournisseur principal n est disponible pour le carte intelligent"},  // SCARD_E_ICC_INSTALLATION
    {0x80100021, u"L ordre de création de l objet demandé n est pas pris en charge"},  // SCARD_E_ICC_CREATEORDER
    {0x80100022, u"Cette carte intelligente ne prend pas en charge la fonctionnalité demandée"},  // SCARD_E_UNSUPPORTED_FEATURE
    {0x80100023, u"Le répertoire spécifié n existe pas dans le carte intelligent"},  // SCARD_E_DIR_NOT_FOUND
    {0x80100024, u"Le fichier spécifié n existe pas dans le carte intelligent"},  // SCARD_E_FILE_NOT_FOUND
    {0x80100025, u"Le chemin d accès fourni ne représente pas un répertoire smart carte"},  // SCARD_E_NO_DIR
    {0x80100026, u"Le chemin d accès fourni ne représente pas un fichier de carte intelligent"},  // SCARD_E_NO_FILE
    {0x80100027, u"L accès au fichier est refusé"},  // SCARD_E_NO_ACCESS
    {0x80100028, u"Une tentative d écriture a été effectuée pour écrire plus de données que ne le ferait dans l objet cible"},  // SCARD_E_WRITE_TOO_MANY
    {0x80100029, u"Une erreur s est produite lors de la définition du pointeur d objet de fichier smart carte"},  // SCARD_E_BAD_SEEK
    {0x8010002A, u"Le code pin fourni est incorrect"},  // SCARD_E_INVALID_CHV
    {0x8010002B, u"Un code d erreur non reconnu a été retourné"},  // SCARD_E_UNKNOWN_RES_MNG
    {0x8010002C, u"Le certificat demandé n existe pas"},  // SCARD_E_NO_SUCH_CERTIFICATE
    {0x8010002D, u"Impossible d obtenir le certificat demandé"},  // SCARD_E_CERTIFICATE_UNAVAILABLE
    {0x8010002E, u"Aucun lecteur carte intelligent n est disponible"},  // SCARD_E_NO_READERS_AVAILABLE
    {0x8010002F, u"\tUne erreur de communication avec le carte intelligent a été détectée"},  // SCARD_E_COMM_DATA_LOST
    {0x80100030, u"Le conteneur de clé demandé n existe pas sur le carte intelligent"},  // SCARD_E_NO_KEY_CONTAINER
    {0x80100031, u"Le gestionnaire de ressources intelligent carte est trop occupé pour effectuer cette opération"},  // SCARD_E_SERVER_TOO_BUSY
    {0x80100032, u"Le cache de code confidentiel intelligent carte a expiré"},  // SCARD_E_PIN_CACHE_EXPIRED
    {0x80100033, u"Impossible de mettre en cache le code confidentiel smart carte"},  // SCARD_E_NO_PIN_CACHE
    {0x80100034, u"Le carte intelligent est en lecture seule et ne peut pas être écrit dans"},  // SCARD_E_READ_ONLY_CARD
    {0x80100065, u"Le lecteur ne peut pas communiquer avec le carte, en raison de conflits de configuration de chaîne ATR"},  // SCARD_W_UNSUPPORTED_CARD
    {0x80100066, u"Le carte intelligent ne répond pas à une réinitialisation"},  // SCARD_W_UNRESPONSIVE_CARD
    {0x80100067, u"L alimentation a été supprimée de la carte intelligente, de sorte qu aucune communication supplémentaire n est possible"},  // SCARD_W_UNPOWERED_CARD
    {0x80100068, u"Le carte intelligent a été réinitialisé"},  // SCARD_W_RESET_CARD
    {0x80100069, u"La carte intelligente a été supprimée, il n est donc pas possible de communiquer davantage"},  // SCARD_W_REMOVED_CARD
    {0x8010006A, u"L accès a été refusé en raison d une violation de sécurité"},  // SCARD_W_SECURITY_VIOLATION
    {0x8010006B, u"Le carte est inaccessible, car le code confidentiel incorrect a été présenté"},  // SCARD_W_WRONG_CHV
    {0x8010006C, u"Impossible d accéder au carte, car le nombre maximal de tentatives de saisie de code confidentiel a été atteint"},  // SCARD_W_CHV_BLOCKED
    {0x8010006D, u"La fin du fichier smart carte a été atteinte"},  // SCARD_W_EOF
    {0x8010006E, u"L action a été annulée par l utilisateur"},  // SCARD_W_CANCELLED_BY_USER
    {0x8010006F, u"Aucun code confidentiel n a été présenté au carte intelligent"},  // SCARD_W_CARD_NOT_AUTHENTICATED
    {0x80100070, u"L élément demandé est introuvable dans le cache"},  // SCARD_W_CACHE_ITEM_NOT_FOUND
    {0x80100071, u"L élément de cache demandé est trop ancien et a été supprimé du cache"},  // SCARD_W_CACHE_ITEM_STALE
    {0x80100072, u"Le nouvel élément de cache dépasse la taille maximale par élément définie pour le cache"},  // SCARD_W_CACHE_ITEM_TOO_BIG
};
// clang-format on

}  // namespace orbelin::texts
