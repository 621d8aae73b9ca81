* Um CMD que executa a si mesmo falha quando o encadeamento fica fundo demais,
* em vez de esgotar a pilha; um CMD dentro de outro continua valendo.
seja b "escreve ""dentro"""
seja a "cmd b"
cmd a
seja a "cmd a"
cmd a
escreve "nunca"
